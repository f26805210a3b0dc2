#include "app/settings_files_win.h"

#include "win/ansi_path_win.h"

namespace {

const char kSettingsFile[] = "zuadr.ini";
const char kUserSettingsFolder[] = "kalbook";
constexpr DWORD kSettingValueSize = 64;

}  // namespace

// Asked in Unicode, so that a user name the ANSI code page cannot hold still finds the folder
// (by its short form).
ProfileSettingsFiles::ProfileSettingsFiles() {
  std::string folder = UserAppDataFolder();
  if (folder.empty()) return;
  userFolder_ = folder + "\\" + kUserSettingsFolder;
  userFile_ = userFolder_ + "\\" + kSettingsFile;
}

std::optional<std::string> ProfileSettingsFiles::Read(SettingsPlace place, const char* section,
                                                      const char* key) {
  const char* file = FileOf(place);
  if (!file) return std::nullopt;
  char value[kSettingValueSize] = "";
  DWORD length = GetPrivateProfileStringA(section, key, "", value, sizeof(value), file);
  if (length == 0) return std::nullopt;
  return std::string(value, length);
}

bool ProfileSettingsFiles::Write(SettingsPlace place, const char* section, const char* key,
                                 const std::string& value) {
  const char* file = FileOf(place);
  if (!file) return false;
  if (place == SettingsPlace::User) CreateDirectoryA(userFolder_.c_str(), nullptr);
  return WritePrivateProfileStringA(section, key, value.c_str(), file) != FALSE;
}

bool ProfileSettingsFiles::UserFileExists() {
  if (userFile_.empty()) return false;
  DWORD attributes = GetFileAttributesA(userFile_.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The bare name makes the platform place the shared file in the Windows directory.
const char* ProfileSettingsFiles::FileOf(SettingsPlace place) const {
  if (place == SettingsPlace::WindowsDirectory) return kSettingsFile;
  return userFile_.empty() ? nullptr : userFile_.c_str();
}
