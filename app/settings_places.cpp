#include "app/settings_places.h"

#include "app/setting_values.h"

int ReadSetting(SettingsFiles& files, const char* section, const char* key, int defaultValue) {
  std::optional<std::string> value = files.Read(SettingsPlace::User, section, key);
  if (!value || value->empty()) value = files.Read(SettingsPlace::WindowsDirectory, section, key);
  return ReadSettingValue(value ? std::optional<std::string_view>(*value) : std::nullopt,
                          defaultValue);
}

void SettingsWrites::Write(SettingsFiles& files, const char* section, const char* key, int value) {
  std::string text = FormatSettingValue(value);
  if (!place_) place_ = files.UserFileExists() ? SettingsPlace::User
                                                          : SettingsPlace::WindowsDirectory;
  if (*place_ == SettingsPlace::WindowsDirectory &&
      files.Write(SettingsPlace::WindowsDirectory, section, key, text))
    return;
  place_ = SettingsPlace::User;
  files.Write(SettingsPlace::User, section, key, text);
}
