// Loads the chosen file whole, with one zero byte after it for the readers. The file is opened
// with reading and writing by others allowed, so one a spreadsheet program still holds imports.
#include <new>

#include "app/settings.h"
#include "app/text_message.h"
#include "import/import_steps_win.h"
#include "win/gdi_owners_win.h"
#include "win/system_words_win.h"

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

void TellCannotOpen(HWND owner, const char* path, DWORD error) {
  ShowTextMessage(owner, kCannotOpenText, {path, SystemWords(error)}, MB_OK | MB_ICONHAND);
}

std::optional<std::string> LoadImportText(HWND owner, const char* path) {
  OwnedFile file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) {
    TellCannotOpen(owner, path, GetLastError());
    return std::nullopt;
  }
  std::optional<DWORD> size = FileSize(file.get());
  if (!size) {
    TellOutOfMemory(owner);  // 4 GB or more: more than the program can hold
    return std::nullopt;
  }
  std::string text;
  try {
    text.assign(static_cast<size_t>(*size) + 1, '\0');
  } catch (const std::bad_alloc&) {
    TellOutOfMemory(owner);
    return std::nullopt;
  }
  DWORD done = 0;
  while (done < *size) {
    DWORD got = 0;
    // A read that brings nothing before the end counts as failed, so the loop always ends.
    if (!ReadFile(file.get(), &text[done], *size - done, &got, nullptr) || got == 0) {
      TellCannotOpen(owner, path, got == 0 && GetLastError() == NO_ERROR ? ERROR_HANDLE_EOF : GetLastError());
      return std::nullopt;
    }
    done += got;
  }
  return text;
}

void TellOutOfMemory(HWND owner) { MessageBoxById(owner, kOutOfMemoryText, kCaptionText, MB_ICONHAND); }
