#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "handoff/address_file_places.h"

namespace {

using Places = std::vector<std::string>;

// A file system where some paths refuse to be created; records what was written where.
struct FakeDisk {
  std::set<std::string> refused;
  std::map<std::string, std::string> files;
  Places tried;

  AddressFileWriter Writer() {
    return [this](const std::string& path, const std::string& bytes) {
      tried.push_back(path);
      if (refused.count(path)) return false;
      files[path] = bytes;
      return true;
    };
  }
};

const char kTemp[] = "C:\\users\\ann\\Temp\\";

}  // namespace

TEST(HandoffFilePlaces, OwnNameFirstThenTheTemporaryFolder) {
  EXPECT_EQ(AddressFilePlaces("c:\\TempFile", kTemp),
            (Places{"c:\\TempFile", "C:\\users\\ann\\Temp\\TempFile"}));
  EXPECT_EQ(AddressFilePlaces(IntermediateAddressFileName(12), kTemp),
            (Places{"c:\\Temp12.adr", "C:\\users\\ann\\Temp\\Temp12.adr"}));
  // A folder reported without its closing backslash still gets one.
  EXPECT_EQ(AddressFilePlaces("c:\\Temp0.adr", "D:\\tmp"), (Places{"c:\\Temp0.adr", "D:\\tmp\\Temp0.adr"}));
  EXPECT_EQ(AddressFilePlaces("c:\\TempFile", ""), (Places{"c:\\TempFile"}));
  // A temporary folder that is the root itself offers no second place.
  EXPECT_EQ(AddressFilePlaces("c:\\TempFile", "c:\\"), (Places{"c:\\TempFile"}));
}

TEST(HandoffFilePlaces, WritableRootKeepsTheFixedName) {
  FakeDisk disk;
  AddressAnnouncement a = PlaceAddressFile({"c:\\TempFile", "ann@x,"}, kTemp, disk.Writer());
  EXPECT_EQ(a.name, "c:\\TempFile");
  EXPECT_EQ(a.length, 6u);
  EXPECT_EQ(disk.tried, Places{"c:\\TempFile"});
  EXPECT_EQ(disk.files["c:\\TempFile"], std::string("ann@x,\0", 7));
}

TEST(HandoffFilePlaces, RefusedRootFallsBackToTheTemporaryFolder) {
  FakeDisk disk;
  disk.refused = {"c:\\Temp0.adr"};
  AddressAnnouncement a = PlaceAddressFile({"c:\\Temp0.adr", "bob@y,"}, kTemp, disk.Writer());
  EXPECT_EQ(a.name, "C:\\users\\ann\\Temp\\Temp0.adr");
  EXPECT_EQ(a.length, 6u);
  EXPECT_EQ(disk.files[a.name], std::string("bob@y,\0", 7));
  EXPECT_EQ(disk.files.count("c:\\Temp0.adr"), 0u);

  // An empty text is still a file of one zero byte, announced with length 0 under its place.
  a = PlaceAddressFile({"c:\\Temp0.adr", ""}, kTemp, disk.Writer());
  EXPECT_EQ(a.name, "C:\\users\\ann\\Temp\\Temp0.adr");
  EXPECT_EQ(a.length, 0u);
  EXPECT_EQ(disk.files[a.name], std::string(1, '\0'));
}

TEST(HandoffFilePlaces, NoPlaceLeftAnnouncesTheOwnNameWithLengthZero) {
  FakeDisk disk;
  disk.refused = {"c:\\TempFile", "C:\\users\\ann\\Temp\\TempFile"};
  AddressAnnouncement a = PlaceAddressFile({"c:\\TempFile", "ann@x,bob@y,"}, kTemp, disk.Writer());
  EXPECT_EQ(a.name, "c:\\TempFile");
  EXPECT_EQ(a.length, 0u);
  EXPECT_EQ(disk.tried.size(), 2u);
  EXPECT_TRUE(disk.files.empty());

  a = PlaceAddressFile({"c:\\TempFile", "ann@x,"}, "", disk.Writer());
  EXPECT_EQ(a.name, "c:\\TempFile");
  EXPECT_EQ(a.length, 0u);
}

namespace {

// A temporary folder deep enough that its full path passes the atom's 255 characters.
std::string DeepFolderFile(const char* fileName) {
  return "C:\\users\\ann\\" + std::string(250, 'd') + "\\" + fileName;
}

}  // namespace

TEST(HandoffFilePlaces, AtomTakesTheFullNameUpTo255Characters) {
  bool asked = false;
  auto shortForm = [&](const std::string&) { asked = true; return std::string("C:\\X"); };
  std::string longest = "C:\\" + std::string(252, 'n');
  ASSERT_EQ(longest.size(), 255u);
  AddressAnnouncement a = FitAnnouncementToAtom({longest, 9}, "c:\\TempFile", shortForm);
  EXPECT_EQ(a.name, longest);
  EXPECT_EQ(a.length, 9u);
  EXPECT_FALSE(asked) << "a name that fits needs no short form";
}

TEST(HandoffFilePlaces, LongerNameGoesByItsShortFormOrFails) {
  std::string placed = DeepFolderFile("TempFile");
  ASSERT_GT(placed.size(), kMostAtomNameChars);
  std::string seen;
  AddressAnnouncement a = FitAnnouncementToAtom(
      {placed, 12}, "c:\\TempFile", [&](const std::string& path) { seen = path; return std::string("C:\\users\\ann\\DDDDDD~1\\TempFile"); });
  EXPECT_EQ(seen, placed);
  EXPECT_EQ(a.name, "C:\\users\\ann\\DDDDDD~1\\TempFile");
  EXPECT_EQ(a.length, 12u);

  // No short form, or one that is still too long: the failure signal under the own name.
  for (std::string shortName : {std::string(), "C:\\" + std::string(253, 's')}) {
    a = FitAnnouncementToAtom({placed, 12}, "c:\\Temp3.adr", [&](const std::string&) { return shortName; });
    EXPECT_EQ(a.name, "c:\\Temp3.adr");
    EXPECT_EQ(a.length, 0u);
  }
}
