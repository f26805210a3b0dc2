// The room a save needs in the book's folder, and saves refused without being tried when the
// folder's path leaves none.
#include <gtest/gtest.h>

#include <string>

#include "store/records.h"
#include "store/safe_write.h"
#include "store_test_folder.h"

namespace {

constexpr size_t kPathBuffer = 260;

// ".damaged-" and ten digits outgrow ".tmp": the copy name sets the limit.
constexpr size_t kCopyNameRoom = 19;

// A path of exactly `length` characters ending in the data file's name.
std::string PathOfLength(size_t length, const std::string& fileName) {
  std::string folder = "C:\\" + std::string(length - 3 - 1 - fileName.size(), 'f');
  return folder + "\\" + fileName;
}

// Counts every call that would touch the disk.
class CountingFiles : public DataFileSystem {
 public:
  int calls = 0;
  FileImage ReadWhole(const std::string&) override { ++calls; return {}; }
  bool Exists(const std::string&) override { ++calls; return false; }
  IoResult Create(const std::string&, CreateMode, std::unique_ptr<OutputFile>&) override {
    ++calls;
    return IoResult{IoError::kOther, "should not be asked"};
  }
  IoResult Replace(const std::string&, const std::string&) override { ++calls; return {}; }
  void Remove(const std::string&) override { ++calls; }
};

}  // namespace

TEST(SaveRoom, TheLongestNameIsTheCopyWithATenDigitNumber) {
  const std::string path = "C:\\book\\personal.inf";
  EXPECT_EQ(LongestSaveNameLength(path), path.size() + kCopyNameRoom);
  EXPECT_EQ(std::string(".damaged-4294967295").size(), kCopyNameRoom);
}

TEST(SaveRoom, FitsUpToTheLastByteOfTheBufferAndNoFurther) {
  for (const char* name : {"personal.inf", "group.inf"}) {
    // 259 characters and the closing zero fill the 260 bytes exactly.
    std::string longestThatFits = PathOfLength(kPathBuffer - 1 - kCopyNameRoom, name);
    EXPECT_TRUE(SaveNamesFit(longestThatFits, kPathBuffer)) << name;
    std::string oneTooLong = PathOfLength(kPathBuffer - kCopyNameRoom, name);
    EXPECT_FALSE(SaveNamesFit(oneTooLong, kPathBuffer)) << name;
    // The data path itself still fits: the book loads but could never be saved there.
    EXPECT_LT(oneTooLong.size(), kPathBuffer) << name;
  }
}

TEST(SaveRoom, TheMessageNamesTheFolder) {
  EXPECT_EQ(FolderOfDataFile("C:\\users\\ann\\book\\personal.inf"), "C:\\users\\ann\\book");
  EXPECT_EQ(FolderOfDataFile("C:\\\\personal.inf"), "C:\\");
  EXPECT_EQ(FolderOfDataFile("/tmp/book/group.inf"), "/tmp/book");
}

class RefusedSaves : public BookFolderTest {};

TEST_F(RefusedSaves, AreKeptPendingWithoutTouchingTheDisk) {
  AddPerson("Ann", "ann@x");
  ASSERT_TRUE(ReserveRecordSlot(store_.groups));
  store_.groups->used = 1;
  store_.personFile.savesRefused = store_.groupFile.savesRefused = true;
  CountingFiles files;
  EXPECT_FALSE(SavePersonFile(store_, files));
  EXPECT_FALSE(SaveGroupFile(store_, files));
  EXPECT_EQ(files.calls, 0);
  for (const DataFileState* state : {&store_.personFile, &store_.groupFile}) {
    EXPECT_TRUE(state->savePending);
    EXPECT_TRUE(state->failureUntold);
    EXPECT_TRUE(state->lastFailure.pathTooLong);
  }
  EXPECT_EQ(store_.personFile.lastFailure.path, store_.personPath);
  EXPECT_EQ(store_.groupFile.lastFailure.path, store_.groupPath);
  // Every later save is refused the same way, however often it is asked for.
  EXPECT_FALSE(SavePersonFile(store_));
  EXPECT_FALSE(PlatformFiles().Exists(store_.personPath));
}
