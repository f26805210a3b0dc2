#include <string>

#include "app/book_files.h"
#include "app/message_text.h"
#include "app/shell_state.h"
#include "app/shutdown_reason.h"
#include "app/text_message.h"
#include "store/safe_write.h"

namespace {

enum : UINT {
  kMsgSaveFailed = 140, kMsgCopyFailed = 141, kMsgCloseUnsaved = 142, kMsgNoMemory = 147,
  kMsgFolderTooLong = 153,
};

struct BookFile {
  const std::string& path;
  DataFileState& state;
  bool (*save)(AddressStore&, DataFileSystem&);
};

// True when the failure was the folder's too long path, which is told once for both files.
bool TellFailure(HWND owner, BookFile file, bool folderTold) {
  if (!file.state.failureUntold) return false;
  file.state.failureUntold = false;
  if (file.state.lastFailure.pathTooLong) {
    if (!folderTold)
      ShowTextMessage(owner, kMsgFolderTooLong, {FolderOfDataFile(file.path)}, MB_OK | MB_ICONHAND | MB_SETFOREGROUND);
    return true;
  }
  UINT text = file.state.lastFailure.step == FileStep::kKeepCopy ? kMsgCopyFailed : kMsgSaveFailed;
  ShowTextMessage(owner, text, {file.path, FailureWords(file.state.lastFailure)},
                  MB_OK | MB_ICONHAND | MB_SETFOREGROUND);
  return false;
}

// The pending save once more, silently; the file and the system's words when it fails again.
std::string RetryPendingSave(BookFile file) {
  if (!file.state.savePending) return {};
  bool saved = file.save(g_shell.store, PlatformFiles());
  file.state.failureUntold = false;
  if (saved) return {};
  return file.path + "\n" + FailureWords(file.state.lastFailure) + "\n\n";
}

BookFile PersonFile() { return {g_shell.store.personPath, g_shell.store.personFile, SavePersonFile}; }
BookFile GroupFile() { return {g_shell.store.groupPath, g_shell.store.groupFile, SaveGroupFile}; }

// Each file with a pending save and what stopped it; "" when every change is written now.
std::string RetryPendingSaves() { return RetryPendingSave(PersonFile()) + RetryPendingSave(GroupFile()); }

bool AskCloseUnsaved(HWND owner, const std::string& unsaved) {
  return ShowTextMessage(owner, kMsgCloseUnsaved, {unsaved},
                         MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2 | MB_SETFOREGROUND) == IDYES;
}

}  // namespace

std::string FailureWords(const FileFailure& failure) {
  if (failure.pathTooLong) return FillPlaceholders(LoadLongString(kMsgFolderTooLong), {FolderOfDataFile(failure.path)});
  return failure.outOfMemory ? LoadLongString(kMsgNoMemory) : failure.reason;
}

void TellFailedSaves(HWND owner) {
  bool folderTold = TellFailure(owner, PersonFile(), false);
  TellFailure(owner, GroupFile(), folderTold);
}

bool SaveBeforeClose(HWND owner) {
  std::string unsaved = RetryPendingSaves();
  return unsaved.empty() || AskCloseUnsaved(owner, unsaved);
}

bool SaveBeforeLogOff(HWND mainWindow) {
  std::string unsaved = RetryPendingSaves();
  if (unsaved.empty()) return true;
  std::string question = LoadLongString(kMsgCloseUnsaved);
  ShutdownBlockReason reason(mainWindow, question.substr(0, question.find('\n')));
  return AskCloseUnsaved(mainWindow, unsaved);
}
