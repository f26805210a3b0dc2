// ReadContactsCsv on any bytes, merged into an empty book: sound records and groups, the persons
// come back as stored from the book exported as Outlook CSV, and that export comes back the same
// through a second and third import.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "import/charset.h"
#include "export/csv_export.h"
#include "import/foreign_readers.h"
#include "tests/fuzz/contacts_fuzz_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Outlook CSV is written in the ANSI code page, which the reader takes for UTF-8 where it
  // could be: such a text cannot come back as it was stored.
  TripRules rules;
  rules.ambiguous = [](std::string_view text) {
    bool ascii = std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return !ascii && IsValidUtf8(text);
  };
  static ContactsTrip trip(
      ReadContactsCsv, [](const AddressStore& book) { return WriteOutlookCsv(book, PersonsToExport(book, {})); },
      rules);
  trip.Run(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
