#include "win/ansi_path_win.h"

#include <shlobj.h>

#include <vector>

namespace {

// False when a character has no exact ANSI form (no best-fit look-alikes either).
bool ToAnsi(const std::wstring& wide, std::string& ansi) {
  if (wide.empty()) return false;
  BOOL usedDefault = FALSE;
  int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), -1, nullptr, 0, nullptr, &usedDefault);
  if (size <= 0 || usedDefault) return false;
  std::vector<char> bytes(static_cast<size_t>(size));
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), -1, bytes.data(), size, nullptr, &usedDefault);
  if (usedDefault) return false;
  ansi = bytes.data();
  return true;
}

std::wstring ShortWidePath(const std::wstring& path) {
  DWORD size = GetShortPathNameW(path.c_str(), nullptr, 0);
  if (size == 0) return {};
  std::vector<wchar_t> buffer(size + 1);
  DWORD length = GetShortPathNameW(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
  return length > 0 && length < buffer.size() ? std::wstring(buffer.data(), length) : std::wstring();
}

}  // namespace

std::string AnsiPathOf(const std::wstring& path) {
  std::string ansi;
  if (ToAnsi(path, ansi)) return ansi;
  if (ToAnsi(ShortWidePath(path), ansi)) return ansi;
  return {};
}

std::string ShortAnsiPath(const std::string& path) {
  DWORD size = GetShortPathNameA(path.c_str(), nullptr, 0);
  if (size == 0) return {};
  std::vector<char> buffer(size + 1);
  DWORD length = GetShortPathNameA(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
  return length > 0 && length < buffer.size() ? std::string(buffer.data(), length) : std::string();
}

std::string UserAppDataFolder() {
  wchar_t appData[MAX_PATH] = L"";
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData)) || !appData[0])
    return {};
  return AnsiPathOf(appData);
}
