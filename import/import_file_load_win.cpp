// Loads the chosen file whole, with one zero byte after it for the readers.
#include <new>

#include "import/import_steps_win.h"
#include "win/gdi_owners_win.h"

namespace {

// The size by seeking to the end and back; none for a file too large to hold.
std::optional<DWORD> FileSize(HANDLE file) {
  DWORD high = 0;
  DWORD size = SetFilePointer(file, 0, reinterpret_cast<LONG*>(&high), FILE_END);
  if ((size == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) || high != 0 ||
      size == MAXDWORD)
    return std::nullopt;
  SetFilePointer(file, 0, nullptr, FILE_BEGIN);
  return size;
}

}  // namespace

std::optional<std::string> LoadImportText(const char* path) {
  OwnedFile file(CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return std::nullopt;
  std::optional<DWORD> size = FileSize(file.get());
  if (!size) return std::nullopt;
  std::string text;
  try {
    text.assign(static_cast<size_t>(*size) + 1, '\0');
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
  DWORD done = 0;
  while (done < *size) {
    DWORD got = 0;
    // A read that brings nothing before the end counts as failed, so the loop always ends.
    if (!ReadFile(file.get(), &text[done], *size - done, &got, nullptr) || got == 0)
      return std::nullopt;
    done += got;
  }
  return text;
}
