// Which "zuadr.ini" a setting is read from and written to. The Windows directory's file is shared
// by every user but cannot be written by a user without administrator rights; such a user gets a
// "zuadr.ini" of their own, which then holds the settings written and is read first.
#pragma once

#include <optional>
#include <string>

enum class SettingsPlace { WindowsDirectory, User };

// The platform's private-profile access to the two files.
class SettingsFiles {
 public:
  virtual ~SettingsFiles() = default;
  // The key's value; none when the key, its value or the file is missing or unreadable.
  virtual std::optional<std::string> Read(SettingsPlace place, const char* section,
                                          const char* key) = 0;
  // False when the platform reports that the value could not be written.
  virtual bool Write(SettingsPlace place, const char* section, const char* key,
                     const std::string& value) = 0;
  virtual bool UserFileExists() = 0;
};

// The user's value of the key when it has one, else the Windows directory's, else the default.
int ReadSetting(SettingsFiles& files, const char* section, const char* key, int defaultValue);

// Where the writes of one run go, settled by the first write: the user's file when it exists
// already (it is read first, so a value written elsewhere would not count); else the Windows
// directory's file as long as it takes the writes; after its first refusal the user's file.
class SettingsWrites {
 public:
  void Write(SettingsFiles& files, const char* section, const char* key, int value);
  std::optional<SettingsPlace> place() const { return place_; }

 private:
  std::optional<SettingsPlace> place_;
};
