#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/book_folder.h"

namespace {

const char kProgramFolder[] = "C:\\Program Files\\kalbook";
const char kPerson[] = "C:\\Program Files\\kalbook\\personal.inf";
const char kGroup[] = "C:\\Program Files\\kalbook\\group.inf";
const char kUserFolder[] = "C:\\users\\ann\\AppData\\Roaming\\kalbook";

// Files that exist, files whose test fails, folders that take new files, the user's folder and
// the program's; records what was asked.
class FakePlaces : public BookFolderPlaces {
 public:
  FileCheck CheckFile(const std::string& path) override {
    checked.insert(path);
    if (failing.count(path)) return FileCheck::kFailed;
    return files.count(path) ? FileCheck::kExists : FileCheck::kMissing;
  }
  bool TakesNewFiles(const std::string& folder) override {
    probed.insert(folder);
    return writable.count(folder) > 0;
  }
  std::string UserBookFolder(bool make) override {
    ++userFolderAsked;
    if (make) userFolderMade = true;
    return make || userFolderMade ? userFolder : std::string();
  }
  bool IsProgramFolder(const std::string& folder) override { return folder == programFolder; }

  std::set<std::string> files;
  std::set<std::string> failing;
  std::set<std::string> writable;
  std::set<std::string> probed;
  std::set<std::string> checked;
  std::string userFolder = kUserFolder;
  bool userFolderMade = false;     // the user's folder exists
  std::string programFolder;       // none: started from a folder of the user's choice
  int userFolderAsked = 0;
};

const std::string kUserPerson = std::string(kUserFolder) + "\\personal.inf";
const std::string kUserGroup = std::string(kUserFolder) + "\\group.inf";

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

// A user who once got the user's folder starts the program from its own folder once that takes
// files: the book there is opened, not an empty one in the program's folder.
TEST(BookFolder, StartedFromTheProgramsFolderWithoutABookTheUsersBookIsOpened) {
  for (const std::string& kept : {kUserPerson, kUserGroup}) {
    FakePlaces places;
    places.programFolder = kProgramFolder;
    places.writable.insert(kProgramFolder);
    places.userFolderMade = true;
    places.files.insert(kept);
    BookFolderChoice choice = ChooseBookFolder(places, kPerson, kGroup);
    EXPECT_TRUE(choice.moved) << kept;
    EXPECT_TRUE(choice.followed);
    EXPECT_FALSE(choice.tell) << "the book is there: no message box, the status bar says where";
    EXPECT_EQ(choice.personPath, kUserPerson);
    EXPECT_EQ(choice.groupPath, kUserGroup);
    EXPECT_TRUE(places.probed.empty()) << "the program's folder is not written to";
  }
}

TEST(BookFolder, TheProgramsFolderKeepsItsBookWhenTheUsersFolderHoldsNone) {
  FakePlaces noFolder;
  noFolder.programFolder = kProgramFolder;
  noFolder.writable.insert(kProgramFolder);
  ExpectStays(ChooseBookFolder(noFolder, kPerson, kGroup));
  EXPECT_FALSE(noFolder.userFolderMade) << "only looked for, not made";

  FakePlaces emptyFolder = noFolder;
  emptyFolder.userFolderMade = true;
  ExpectStays(ChooseBookFolder(emptyFolder, kPerson, kGroup));

  FakePlaces ownBook = emptyFolder;
  ownBook.files = {kPerson, kUserPerson};
  ExpectStays(ChooseBookFolder(ownBook, kPerson, kGroup));
}

TEST(BookFolder, AnotherStartFolderKeepsOrStartsItsOwnBookWhateverTheUsersFolderHolds) {
  FakePlaces places;  // a shortcut's "Start in", a host's folder: not the program's
  places.programFolder = "C:\\Tools";
  places.writable.insert(kProgramFolder);
  places.userFolderMade = true;
  places.files = {kUserPerson, kUserGroup};
  ExpectStays(ChooseBookFolder(places, kPerson, kGroup));
  EXPECT_EQ(places.userFolderAsked, 0);
}

// Access denied, a share that does not answer: the start folder is kept and the load says why,
// never another book.
TEST(BookFolder, AnExistenceTestThatFailsOtherwiseThanNotFoundKeepsTheStartFolder) {
  for (const char* failing : {kPerson, kGroup}) {
    FakePlaces places;
    places.programFolder = kProgramFolder;
    places.userFolderMade = true;
    places.files = {kUserPerson};
    places.failing.insert(failing);
    ExpectStays(ChooseBookFolder(places, kPerson, kGroup));
    EXPECT_TRUE(places.probed.empty()) << failing;
    EXPECT_EQ(places.userFolderAsked, 0) << failing;
  }
  // In the user's folder a failing test is no book to follow; the fallback still applies.
  FakePlaces userFails;
  userFails.programFolder = kProgramFolder;
  userFails.writable.insert(kProgramFolder);
  userFails.userFolderMade = true;
  userFails.failing = {kUserPerson, kUserGroup};
  ExpectStays(ChooseBookFolder(userFails, kPerson, kGroup));
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
