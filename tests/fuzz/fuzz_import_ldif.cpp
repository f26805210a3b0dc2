// ReadLdif on any bytes, merged into an empty book: sound records and groups, the persons come
// back as stored (but their middle names) from the book exported as LDIF, and that export comes
// back the same, lists and their order included, through a second and third import.
#include <cstddef>
#include <cstdint>

#include "export/ldif_export.h"
#include "import/foreign_readers.h"
#include "tests/fuzz/contacts_fuzz_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TripRules rules;
  rules.keepsMiddleNames = false;
  static ContactsTrip trip([](std::string_view text) { return std::optional<ForeignBook>(ReadLdif(text)); },
                           [](const AddressStore& book) {
                             return WriteLdif(book, PersonsToExport(book, {}), GroupsToExport(book, {}));
                           },
                           rules);
  trip.Run(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
