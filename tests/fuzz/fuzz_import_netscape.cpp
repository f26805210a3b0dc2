// ReadNetscapeBook on any bytes: no read outside the text, every span inside it.
#include <cstddef>
#include <cstdint>

#include "import/import_readers.h"
#include "tests/fuzz/import_fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  std::optional<ImportBatch> batch = ReadNetscapeBook(text);
  if (batch) CheckBatch(*batch, text);
  // A tight limit takes the abandonment path as well.
  std::optional<ImportBatch> limited = ReadNetscapeBook(text, 20);
  if (limited) CheckBatch(*limited, text);
  return 0;
}
