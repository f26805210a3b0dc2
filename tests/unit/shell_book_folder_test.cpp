#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/book_folder.h"

namespace {

const char kProgramFolder[] = "C:\\Program Files\\kalbook";
const char kPerson[] = "C:\\Program Files\\kalbook\\personal.inf";
const char kGroup[] = "C:\\Program Files\\kalbook\\group.inf";
const char kUserFolder[] = "C:\\users\\ann\\AppData\\Roaming\\kalbook";

// Files that exist, folders that take new files, and the user's folder; records what was asked.
class FakePlaces : public BookFolderPlaces {
 public:
  bool FileExists(const std::string& path) override { return files.count(path) > 0; }
  bool TakesNewFiles(const std::string& folder) override {
    probed.insert(folder);
    return writable.count(folder) > 0;
  }
  std::string UserBookFolder() override {
    ++userFolderAsked;
    return userFolder;
  }

  std::set<std::string> files;
  std::set<std::string> writable;
  std::set<std::string> probed;
  std::string userFolder = kUserFolder;
  int userFolderAsked = 0;
};

void ExpectStays(const BookFolderChoice& choice) {
  EXPECT_FALSE(choice.moved);
  EXPECT_FALSE(choice.tell);
  EXPECT_EQ(choice.personPath, kPerson);
  EXPECT_EQ(choice.groupPath, kGroup);
}

TEST(BookFolder, AFolderThatRefusesNewFilesWithNoBookMovesTheBookToTheUsersFolder) {
  FakePlaces places;
  BookFolderChoice choice = ChooseBookFolder(places, kPerson, kGroup);
  EXPECT_TRUE(choice.moved);
  EXPECT_TRUE(choice.tell);
  EXPECT_EQ(choice.refusedFolder, kProgramFolder);
  EXPECT_EQ(choice.personPath, std::string(kUserFolder) + "\\personal.inf");
  EXPECT_EQ(choice.groupPath, std::string(kUserFolder) + "\\group.inf");
  EXPECT_EQ(places.probed, std::set<std::string>{kProgramFolder});
}

TEST(BookFolder, TheUserIsToldOnlyWhileTheUsersFolderHoldsNoPersonFile) {
  FakePlaces places;
  places.files.insert(std::string(kUserFolder) + "\\group.inf");
  EXPECT_TRUE(ChooseBookFolder(places, kPerson, kGroup).tell);
  places.files.insert(std::string(kUserFolder) + "\\personal.inf");
  BookFolderChoice choice = ChooseBookFolder(places, kPerson, kGroup);
  EXPECT_TRUE(choice.moved);
  EXPECT_FALSE(choice.tell);
}

TEST(BookFolder, ADataFileInTheCurrentFolderKeepsTheBookThereWithoutProbing) {
  for (const char* existing : {kPerson, kGroup}) {
    FakePlaces places;
    places.files.insert(existing);
    ExpectStays(ChooseBookFolder(places, kPerson, kGroup));
    EXPECT_TRUE(places.probed.empty()) << existing;
    EXPECT_EQ(places.userFolderAsked, 0) << "the user's folder is made only when it is used";
  }
}

TEST(BookFolder, AFolderThatTakesNewFilesKeepsTheBook) {
  FakePlaces places;
  places.writable.insert(kProgramFolder);
  ExpectStays(ChooseBookFolder(places, kPerson, kGroup));
  EXPECT_EQ(places.userFolderAsked, 0);
}

TEST(BookFolder, NoUserFolderOrOneTooLongForThePathBuffersKeepsTheBook) {
  FakePlaces none;
  none.userFolder = "";
  ExpectStays(ChooseBookFolder(none, kPerson, kGroup));

  // "\personal.inf" is 13 bytes: a folder of 246 gives 259 (fits), of 247 gives 260 (does not).
  FakePlaces fits;
  fits.userFolder = "C:\\" + std::string(243, 'u');
  EXPECT_TRUE(ChooseBookFolder(fits, kPerson, kGroup).moved);
  FakePlaces tooLong;
  tooLong.userFolder = "C:\\" + std::string(244, 'u');
  ExpectStays(ChooseBookFolder(tooLong, kPerson, kGroup));
}

TEST(BookFolder, ADriveRootIsProbedAndNamedWithItsBackslash) {
  FakePlaces places;
  BookFolderChoice choice = ChooseBookFolder(places, "D:\\\\personal.inf", "D:\\\\group.inf");
  EXPECT_EQ(places.probed, std::set<std::string>{"D:\\"});
  EXPECT_EQ(choice.refusedFolder, "D:\\");
  EXPECT_TRUE(choice.moved);
}

TEST(BookFolder, FolderOfDataPath) {
  EXPECT_EQ(FolderOfDataPath("C:\\book\\personal.inf"), "C:\\book");
  EXPECT_EQ(FolderOfDataPath("C:\\\\personal.inf"), "C:\\");
  EXPECT_EQ(FolderOfDataPath("C:\\personal.inf"), "C:\\");
  EXPECT_EQ(FolderOfDataPath("\\\\server\\share\\group.inf"), "\\\\server\\share");
  EXPECT_EQ(FolderOfDataPath("personal.inf"), "");
}

TEST(BookFolder, AUserFolderGivenWithATrailingBackslashGetsNoSecondOne) {
  FakePlaces places;
  places.userFolder = "E:\\";
  EXPECT_EQ(ChooseBookFolder(places, kPerson, kGroup).personPath, "E:\\personal.inf");
}

}  // namespace
