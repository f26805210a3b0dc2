// The export's file: written whole beside its target, then moved over it in one step, so a
// failed export never leaves a half-written file behind.
#include <cstdio>
#include <memory>

#include "export/vcard_export.h"
#include "store/file_replace.h"

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

bool WriteAll(const std::string& path, const std::string& text) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) return false;
  bool written = text.empty() || std::fwrite(text.data(), 1, text.size(), file.get()) == text.size();
  written = std::fflush(file.get()) == 0 && written;
  return std::fclose(file.release()) == 0 && written;
}

}  // namespace

bool WriteExportFile(const std::string& path, const std::string& text) {
  std::string temporary = path + ".tmp";
  if (WriteAll(temporary, text) && ReplaceFileAtomically(temporary, path)) return true;
  std::remove(temporary.c_str());
  return false;
}
