#include <string>

#include "app/book_files.h"
#include "app/shell_state.h"
#include "app/text_message.h"

namespace {

enum : UINT {
  kMsgSaveFailed = 140, kMsgCopyFailed = 141, kMsgCloseUnsaved = 142, kMsgNoMemory = 147,
};

struct BookFile {
  const std::string& path;
  DataFileState& state;
  bool (*save)(AddressStore&, DataFileSystem&);
};

void TellFailure(HWND owner, BookFile file) {
  if (!file.state.failureUntold) return;
  file.state.failureUntold = false;
  UINT text = file.state.lastFailure.step == FileStep::kKeepCopy ? kMsgCopyFailed : kMsgSaveFailed;
  ShowTextMessage(owner, text, {file.path, FailureWords(file.state.lastFailure)},
                  MB_OK | MB_ICONHAND | MB_SETFOREGROUND);
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

}  // namespace

std::string FailureWords(const FileFailure& failure) {
  return failure.outOfMemory ? LoadLongString(kMsgNoMemory) : failure.reason;
}

void TellFailedSaves(HWND owner) {
  TellFailure(owner, PersonFile());
  TellFailure(owner, GroupFile());
}

bool SaveBeforeClose(HWND owner) {
  std::string unsaved = RetryPendingSave(PersonFile());
  unsaved += RetryPendingSave(GroupFile());
  if (unsaved.empty()) return true;
  return ShowTextMessage(owner, kMsgCloseUnsaved, {unsaved},
                         MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2 | MB_SETFOREGROUND) == IDYES;
}
