#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/settings_places.h"

namespace {

// Two private-profile files in memory; the Windows directory's may refuse writes, and either may
// be missing (the user's always is until something is written there).
class FakeSettingsFiles : public SettingsFiles {
 public:
  using Keys = std::map<std::string, std::string>;

  std::optional<std::string> Read(SettingsPlace place, const char* section,
                                  const char* key) override {
    const Keys& keys = place == SettingsPlace::User ? user : windows;
    auto it = keys.find(Key(section, key));
    if (it == keys.end() || it->second.empty()) return std::nullopt;
    return it->second;
  }

  bool Write(SettingsPlace place, const char* section, const char* key,
             const std::string& value) override {
    writes.push_back((place == SettingsPlace::User ? "user " : "windows ") + Key(section, key));
    if (place == SettingsPlace::WindowsDirectory && windowsRefusesWrites) return false;
    if (place == SettingsPlace::User && !userPlaceKnown) return false;
    (place == SettingsPlace::User ? user : windows)[Key(section, key)] = value;
    return true;
  }

  bool UserFileExists() override { return !user.empty(); }

  static std::string Key(const char* section, const char* key) {
    return std::string(section) + "." + key;
  }

  Keys windows;
  Keys user;
  bool windowsRefusesWrites = false;
  bool userPlaceKnown = true;
  std::vector<std::string> writes;
};

}  // namespace

TEST(ShellSettingsPlaces, EachKeyFromTheUsersFileFirstThenTheWindowsDirectory) {
  FakeSettingsFiles files;
  files.windows = {{"Application.language", "3"}, {"window.x", "10"}, {"InBox.sender", "80"}};
  files.user = {{"window.x", "-40"}, {"InBox.sender", ""}};
  EXPECT_EQ(ReadSetting(files, "window", "x", 0), -40);
  // A language set for every user still counts when the user's file lacks it.
  EXPECT_EQ(ReadSetting(files, "Application", "language", 0), 3);
  // An empty value counts as absent and falls through.
  EXPECT_EQ(ReadSetting(files, "InBox", "sender", 100), 80);
  EXPECT_EQ(ReadSetting(files, "window", "y", INT32_MIN), INT32_MIN);
  EXPECT_EQ(ReadSetting(files, "InBox", "date", 100), 100);
}

TEST(ShellSettingsPlaces, WritableWindowsDirectoryTakesEveryWrite) {
  FakeSettingsFiles files;
  SettingsWrites writes;
  writes.Write(files, "window", "width", 544);
  writes.Write(files, "window", "zoom", 0);
  EXPECT_EQ(files.windows["window.width"], "544");
  EXPECT_EQ(files.windows["window.zoom"], "0");
  EXPECT_TRUE(files.user.empty());
  EXPECT_EQ(writes.place(), SettingsPlace::WindowsDirectory);
}

TEST(ShellSettingsPlaces, RefusedWriteMovesThisAndLaterWritesToTheUsersFile) {
  FakeSettingsFiles files;
  files.windows = {{"Application.language", "0"}};
  files.windowsRefusesWrites = true;
  SettingsWrites writes;
  writes.Write(files, "window", "width", 600);
  writes.Write(files, "window", "height", -4);
  EXPECT_EQ(files.user["window.width"], "600");
  EXPECT_EQ(files.user["window.height"], "-4");
  // Only the first write tries the Windows directory.
  EXPECT_EQ(files.writes, (std::vector<std::string>{"windows window.width", "user window.width",
                                                    "user window.height"}));
  EXPECT_EQ(ReadSetting(files, "window", "width", 0), 600);
}

TEST(ShellSettingsPlaces, ExistingUsersFileTakesTheWritesFromTheStart) {
  // Written at an earlier run; writing to the Windows directory now would be hidden behind it.
  FakeSettingsFiles files;
  files.user = {{"window.x", "5"}};
  SettingsWrites writes;
  writes.Write(files, "window", "x", 7);
  EXPECT_EQ(files.writes, std::vector<std::string>{"user window.x"});
  EXPECT_EQ(ReadSetting(files, "window", "x", 0), 7);
  EXPECT_TRUE(files.windows.empty());
}

TEST(ShellSettingsPlaces, NoPlaceTakesTheWriteSilently) {
  FakeSettingsFiles files;
  files.windowsRefusesWrites = true;
  files.userPlaceKnown = false;
  SettingsWrites writes;
  writes.Write(files, "InBox", "attribute", 26);
  EXPECT_TRUE(files.windows.empty());
  EXPECT_TRUE(files.user.empty());
  EXPECT_EQ(ReadSetting(files, "InBox", "attribute", 26), 26);
}
