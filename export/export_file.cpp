// The export's file goes through the same safe write as the data files: written whole beside its
// target, flushed, then put in its place in one step, so a failed export never leaves a
// half-written file behind.
#include "export/vcard_export.h"
#include "store/safe_write.h"

bool WriteExportFile(const std::string& path, const std::string& text) {
  std::vector<uint8_t> bytes(text.begin(), text.end());
  return !ReplaceFileContent(PlatformFiles(), path, bytes).has_value();
}
