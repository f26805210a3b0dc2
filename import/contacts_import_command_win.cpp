// File > Import > CSV and LDIF: choose a file, read it whole, merge the persons found. A CSV
// file whose header names no e-mail column is refused with a message.
#include "import/import_command.h"

#include "app/book_files.h"
#include "app/settings.h"
#include "app/shell_state.h"
#include "app/panes/panes.h"
#include "import/foreign_book_batch.h"
#include "import/foreign_readers.h"
#include "import/import_merge.h"
#include "import/import_steps_win.h"

namespace {

constexpr UINT kNoEmailColumnText = 186;
constexpr UINT kCaptionText = 101;

std::optional<ForeignBook> ReadWithCommandReader(HWND owner, int commandId, std::string_view text) {
  if (commandId == kCmdImportLdif) return ReadLdif(text);
  std::optional<ForeignBook> book = ReadContactsCsv(text);
  if (!book) MessageBoxById(owner, kNoEmailColumnText, kCaptionText, MB_ICONHAND);
  return book;
}

}  // namespace

void ImportContactsFile(HWND owner, int commandId) {
  if (commandId != kCmdImportCsv && commandId != kCmdImportLdif) return;
  PathBuffer chosen = {};
  if (!ChooseImportFile(owner, commandId, chosen)) return;
  std::optional<std::string> text = LoadImportText(chosen);
  if (!text) return;
  std::optional<ForeignBook> book = ReadWithCommandReader(owner, commandId, *text);
  if (!book) return;
  std::optional<ImportBatch> batch = BatchOfForeignBook(*book);
  if (!batch) return;
  InsertPersonItems(g_shell.entryList, AppendImportedPersons(g_shell.store, *batch));
  TellFailedSaves(owner);
}
