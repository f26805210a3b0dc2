// ReadVCard on any bytes: no read outside the text, every decoded value whole, and the persons
// and groups the merge stores of them come back unchanged through an export and a second import.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "export/vcard_export.h"
#include "import/import_merge.h"
#include "store/code_page.h"
#include "import/import_readers.h"
#include "tests/fuzz/import_fuzz_checks.h"

namespace {

std::string ScratchPath(const char* file) {
  return "/tmp/fuzz_import_vcard_" + std::to_string(getpid()) + file;
}
void RemoveScratchFiles() {
  std::remove(ScratchPath(".inf").c_str());
  std::remove(ScratchPath(".groups").c_str());
}

// What the merge stores of a batch in an empty book, groups included.
AddressStore BookOf(const ImportBatch& batch) {
  static const bool removedAtExit = std::atexit(RemoveScratchFiles) == 0;
  (void)removedAtExit;
  AddressStore book;
  book.personPath = ScratchPath(".inf");
  book.groupPath = ScratchPath(".groups");
  AppendImportedPersons(book, batch, SystemCodePage());
  return book;
}

bool SameEntry(const ImportEntry& a, const ImportEntry& b) {
  return a.description == b.description && a.email == b.email && a.firstName == b.firstName &&
         a.middleName == b.middleName && a.lastName == b.lastName && a.memo == b.memo &&
         a.groups == b.groups;
}

// The live persons of a book, each as one text, in slot order.
std::vector<std::string> PersonsOf(const AddressStore& book) {
  std::vector<std::string> persons;
  for (uint32_t slot = 0; book.persons && slot < book.persons->used; ++slot) {
    const PersonRecord& p = (*book.persons)[slot];
    if (!p.deleted)
      persons.push_back(std::string(p.description) + '\x1F' + p.email + '\x1F' + p.names + '\x1F' + p.memo);
  }
  return persons;
}

// What one import stored comes back as stored from its own export, and that export, imported
// and exported again, reads the same.
void CheckSecondTrip(const ImportBatch& first) {
  AddressStore book = BookOf(first);
  std::string text = WriteVCards(book, PersonsToExport(book, {}));
  std::optional<ImportBatch> second = ReadVCard(text);
  if (!second) return;  // no memory
  AddressStore secondBook = BookOf(*second);
  if (PersonsOf(book) != PersonsOf(secondBook)) std::abort();
  std::optional<ImportBatch> again = ReadVCard(WriteVCards(secondBook, PersonsToExport(secondBook, {})));
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
