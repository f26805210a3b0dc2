// ReadContactsCsv on any bytes, merged into an empty book: sound records and groups, and the
// book exported as Outlook CSV comes back the same through a second and third import.
#include <cstddef>
#include <cstdint>

#include "export/csv_export.h"
#include "import/foreign_readers.h"
#include "tests/fuzz/contacts_fuzz_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static ContactsTrip trip(ReadContactsCsv, [](const AddressStore& book) {
    return WriteOutlookCsv(book, PersonsToExport(book, {}));
  });
  trip.Run(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
