// The two "zuadr.ini" files through the platform's private-profile functions: the Windows
// directory's by its bare name, and the user's in a "kalbook" folder of the application-data folder.
#pragma once

#include <windows.h>

#include <string>

#include "app/settings_places.h"

class ProfileSettingsFiles : public SettingsFiles {
 public:
  ProfileSettingsFiles();
  std::optional<std::string> Read(SettingsPlace place, const char* section,
                                  const char* key) override;
  // Creates the user's folder first when writing there.
  bool Write(SettingsPlace place, const char* section, const char* key,
             const std::string& value) override;
  bool UserFileExists() override;

 private:
  const char* FileOf(SettingsPlace place) const;

  std::string userFolder_;  // empty when the platform names no application-data folder
  std::string userFile_;
};
