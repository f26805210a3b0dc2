// File > Import > CSV and LDIF: choose a file, read it whole, merge its persons and groups and
// report as every import does. A CSV file whose header names no e-mail column is refused with a
// message, and so is a file too large for memory.
#include "import/import_command.h"

#include "app/settings.h"
#include "app/shell_state.h"
#include "import/foreign_book_batch.h"
#include "import/import_steps_win.h"

namespace {

constexpr UINT kNoEmailColumnText = 186;

}  // namespace

void ImportContactsFile(HWND owner, int commandId) {
  if (commandId != kCmdImportCsv && commandId != kCmdImportLdif) return;
  PathBuffer chosen = {};
  if (!ChooseImportFile(owner, commandId, chosen)) return;
  std::optional<std::string> text = LoadImportText(owner, chosen);
  if (!text) return;
  ContactsReading reading =
      ReadContactsBatch(commandId == kCmdImportLdif ? ContactsFormat::kLdif : ContactsFormat::kCsv, *text);
  if (reading.failure == ContactsFailure::kNoEmailColumn) {
    MessageBoxById(owner, kNoEmailColumnText, kCaptionText, MB_ICONHAND);
    return;
  }
  if (!reading.batch) {
    TellOutOfMemory(owner);
    return;
  }
  MergeIntoBook(owner, *reading.batch);
}
