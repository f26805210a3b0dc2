// File > Import: choose a file, read it with the command's reader, merge the persons found.
// Silent when every entry was taken as it stood; otherwise one message reports what was left
// out or changed. A save of the merged book that did not complete is told as well.
#include "import/import_command.h"

#include "app/book_files.h"
#include "app/main_window.h"
#include "app/shell_state.h"
#include "app/settings.h"
#include "app/text_message.h"
#include "dialogs/duplicates.h"
#include "import/import_merge.h"
#include "import/import_readers.h"
#include "import/import_steps_win.h"
#include "app/panes/panes.h"
#include "store/code_page.h"

namespace {

enum class PathStep { kChooseFile, kUsePath, kCancelled };

// Command 107 first offers the book recorded by Netscape; the log-off is refused meanwhile.
PathStep AskNetscapePath(HWND owner, PathBuffer& chosen) {
  ++g_shell.DialogActive;
  PathBuffer pathBlock = {};
  int result = RunNetscapePathDialog(owner, pathBlock);
  --g_shell.DialogActive;
  if (result == kImportCancelled) return PathStep::kCancelled;
  if (result != kPathOpened) return PathStep::kChooseFile;
  CopyMemory(chosen, pathBlock, kPathSize);
  chosen[kPathSize - 1] = '\0';
  return PathStep::kUsePath;
}

std::optional<ImportBatch> ReadWithCommandReader(int commandId, std::string_view text) {
  switch (commandId) {
    case kCmdImportVCard: return ReadVCard(text);
    case kCmdImportNetscape: return ReadNetscapeBook(text);
    default: return ReadEudoraNicknames(text);
  }
}

}  // namespace

void MergeIntoBook(HWND owner, const ImportBatch& batch) {
  ImportOutcome outcome = AppendImportedPersons(g_shell.store, batch, SystemCodePage());
  if (outcome.outOfMemory) {
    TellOutOfMemory(owner);
    return;
  }
  // Each new entry goes to the top of the list, so the last one read ends up first.
  InsertImportedItems(g_shell.entryList, outcome.persons, outcome.groups);
  RunCommandEnabling(owner);
  TellFailedSaves(owner);
  if (!outcome.report.WorthTelling()) return;
  // Built whole, however long: the descriptions named make it longer than any fixed buffer.
  std::string text = BuildImportReport(outcome.report, [](int id) { return LoadLongString(static_cast<UINT>(id)); });
  if (std::string line = MayBeDuplicatesLine(outcome.persons); !line.empty()) text += "\n" + line;
  ShowBuiltMessage(owner, text, MB_OK | MB_ICONINFORMATION);
}

void ImportAddressBook(HWND owner, int commandId) {
  if (commandId != kCmdImportVCard && commandId != kCmdImportNetscape &&
      commandId != kCmdImportEudora)
    return;
  PathBuffer chosen = {};
  PathStep step = PathStep::kChooseFile;
  if (commandId == kCmdImportNetscape) step = AskNetscapePath(owner, chosen);
  if (step == PathStep::kCancelled) return;
  if (step == PathStep::kChooseFile && !ChooseImportFile(owner, commandId, chosen)) return;

  std::optional<std::string> text = LoadImportText(owner, chosen);
  if (!text) return;
  // The spans of the batch point into the text, which lives until the merge is done.
  std::optional<ImportBatch> batch = ReadWithCommandReader(commandId, *text);
  if (!batch) {  // no memory for the batch or its values: the import is abandoned
    TellOutOfMemory(owner);
    return;
  }
  if (batch->noRecord()) {  // told once, instead of a report of an entry without a name
    MessageBoxById(owner, kNoCardText, kCaptionText, MB_ICONINFORMATION);
    return;
  }
  MergeIntoBook(owner, *batch);
}
