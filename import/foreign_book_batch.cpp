#include "import/foreign_book_batch.h"

#include "import/charset.h"
#include "import/vcard_values.h"
#include "store/records.h"

namespace {

// The stored names are joined with ";", so a name part cannot hold one.
std::string NamePart(const std::string& utf8) {
  std::string ansi = ToAnsiTrimmed(utf8);
  for (char& c : ansi)
    if (c == ';') c = ',';
  return ansi;
}

}  // namespace

std::optional<ImportBatch> BatchOfForeignBook(const ForeignBook& book) {
  std::optional<ImportBatch> batch = ImportBatch::Make(kBatchStartCapacity);
  if (!batch) return std::nullopt;
  for (const ForeignPerson& person : book.persons) {
    std::string email = ToAnsiTrimmed(person.email);
    if (email.empty()) continue;
    if (!batch->GrowIfFull()) return std::nullopt;
    ImportEntry entry;
    entry.description = batch->Keep(CutAnsi(ToAnsiTrimmed(person.description), kTextFieldSize - 1));
    entry.email = batch->Keep(CutAnsi(email, kEmailFieldSize - 1));
    entry.firstName = batch->Keep(NamePart(person.firstName));
    entry.middleName = batch->Keep(NamePart(person.middleName));
    entry.lastName = batch->Keep(NamePart(person.lastName));
    entry.memo = batch->Keep(CutAnsi(ToAnsiTrimmed(person.memo), kTextFieldSize - 1));
    batch->Append(entry);
  }
  return batch;
}
