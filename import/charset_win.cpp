// The platform's code-page conversions, with its best-fit mapping for characters the ANSI code
// page cannot hold.
#include <windows.h>

#include "import/charset.h"

bool DecodeCodePage(uint32_t codePage, std::string_view bytes, std::u16string& out) {
  out.clear();
  if (bytes.empty()) return true;
  UINT page = codePage == kAnsiCodePage ? CP_ACP : codePage;
  if (page != CP_ACP && !IsValidCodePage(page)) return false;
  int length = static_cast<int>(bytes.size());
  int wide = MultiByteToWideChar(page, 0, bytes.data(), length, nullptr, 0);
  if (wide <= 0) return false;
  out.resize(static_cast<size_t>(wide));
  MultiByteToWideChar(page, 0, bytes.data(), length, reinterpret_cast<wchar_t*>(&out[0]), wide);
  return true;
}

std::string EncodeAnsi(std::u16string_view text, bool* unshowable) {
  if (unshowable) *unshowable = false;
  if (text.empty()) return std::string();
  const wchar_t* wide = reinterpret_cast<const wchar_t*>(text.data());
  int length = static_cast<int>(text.size());
  int size = WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) {
    if (unshowable) *unshowable = true;
    return std::string(text.size(), '?');
  }
  std::string out(static_cast<size_t>(size), '\0');
  // Best fit stays on; the default character is used only where no best fit exists.
  BOOL usedDefault = FALSE;
  WideCharToMultiByte(CP_ACP, 0, wide, length, &out[0], size, nullptr, &usedDefault);
  if (unshowable) *unshowable = usedDefault != FALSE;
  return out;
}

