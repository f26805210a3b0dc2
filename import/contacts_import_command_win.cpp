// File > Import > CSV and LDIF: choose a file, read it whole, merge its persons and groups and
// report as every import does. A CSV file whose header names no e-mail column is refused with a
// message.
#include "import/import_command.h"

#include "app/settings.h"
#include "app/shell_state.h"
#include "import/foreign_book_batch.h"
#include "import/foreign_readers.h"
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
  if (!batch) return;  // no memory for the batch: the import is abandoned
  MergeIntoBook(owner, *batch);
}
