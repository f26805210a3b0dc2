// ReadVCard on any bytes: no read outside the text, every decoded value within its field, and
// the persons found come back unchanged through an export and a second import.
#include <cstddef>
#include <cstdint>

#include "export/vcard_export.h"
#include "import/import_readers.h"
#include "tests/fuzz/import_fuzz_checks.h"

namespace {

// The persons a batch holds, as a book of live persons without files.
AddressStore BookOf(const ImportBatch& batch) {
  AddressStore book;
  for (uint32_t i = 0; i < batch.count(); ++i) {
    if (!ReserveRecordSlot(book.persons)) break;
    PersonRecord& p = (*book.persons)[book.persons->used++];
    CopyToField(p.description, kTextFieldSize, batch[i].description);
    CopyToField(p.email, kEmailFieldSize, batch[i].email);
    CopyToField(p.memo, kTextFieldSize, batch[i].memo);
    std::string names = std::string(batch[i].firstName) + ";" + std::string(batch[i].middleName) +
                        ";" + std::string(batch[i].lastName);
    CopyToField(p.names, kTextFieldSize, names.size() < kTextFieldSize ? names : ";;");
  }
  return book;
}

bool SameEntry(const ImportEntry& a, const ImportEntry& b) {
  return a.description == b.description && a.email == b.email && a.firstName == b.firstName &&
         a.middleName == b.middleName && a.lastName == b.lastName && a.memo == b.memo;
}

// What one import decoded, exported and imported again, reads the same.
void CheckSecondTrip(const ImportBatch& first) {
  AddressStore book = BookOf(first);
  std::string text = WriteVCards(book, PersonsToExport(book, {}));
  std::optional<ImportBatch> second = ReadVCard(text);
  if (!second) return;  // no memory
  std::optional<ImportBatch> again = ReadVCard(WriteVCards(BookOf(*second), PersonsToExport(BookOf(*second), {})));
  if (!again || again->count() != second->count()) std::abort();
  for (uint32_t i = 0; i < second->count(); ++i)
    if (!SameEntry((*again)[i], (*second)[i])) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  std::optional<ImportBatch> batch = ReadVCard(text);
  if (batch) CheckDecodedBatch(*batch);
  // A tight limit takes the abandonment path as well.
  std::optional<ImportBatch> limited = ReadVCard(text, 20);
  if (limited) CheckDecodedBatch(*limited);
  if (batch) CheckSecondTrip(*batch);
  return 0;
}
