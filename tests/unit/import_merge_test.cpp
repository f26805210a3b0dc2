#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "import/import_merge.h"
#include "store/code_page.h"
#include "import/import_readers.h"
#include "store/indexes.h"

namespace {

namespace fs = std::filesystem;

template <size_t N>
std::string Bytes(const char (&literal)[N]) {
  return std::string(literal, N - 1);
}

class ImportMergeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("kalbook_import_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
           "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
    store.personPath = (dir / "personal.inf").string();
    store.groupPath = (dir / "group.inf").string();
  }
  void TearDown() override { fs::remove_all(dir); }

  uint32_t AddPerson(const std::string& description, bool deleted = false) {
    EXPECT_TRUE(ReserveRecordSlot(store.persons));
    PersonTable& t = *store.persons;
    PersonRecord& p = t[t.used];
    p.deleted = deleted ? 1 : 0;
    CopyToField(p.description, kTextFieldSize, description);
    CopyToField(p.names, kTextFieldSize, ";;");
    return t.used++;
  }

  // The batch of an Eudora file; its text must outlive the merge.
  std::vector<uint32_t> ImportEudora(const std::string& text) {
    eudoraText = text;
    std::optional<ImportBatch> batch = ReadEudoraNicknames(eudoraText);
    EXPECT_TRUE(batch.has_value());
    return AppendImportedPersons(store, *batch, SystemCodePage()).persons;
  }

  std::string PersonFile() const {
    std::ifstream in(store.personPath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  const PersonRecord& Person(uint32_t slot) const { return (*store.persons)[slot]; }

  fs::path dir;
  AddressStore store;
  std::string eudoraText;
};

TEST_F(ImportMergeTest, NewPersonsAreAppendedAndWrittenByteForByte) {
  std::vector<uint32_t> added = ImportEudora("alias Ann a@b\r\nalias Bob b@c, d@e\r\n");
  EXPECT_EQ(added, (std::vector<uint32_t>{0, 1}));
  ASSERT_TRUE(store.persons.has_value());
  EXPECT_EQ(store.persons->used, 2u);
  EXPECT_EQ(store.persons->capacity, 2u);  // entries read, not the batch's 10 slots
  EXPECT_STREQ(Person(1).email, "b@c, d@e");
  EXPECT_STREQ(Person(1).names, ";;");
  EXPECT_EQ(PersonFile(), Bytes("\x02\0\0\0Ann\0a@b\0;;\0\0Bob\0b@c, d@e\0;;\0\0"));
  EXPECT_EQ(store.personNameIndex.count, 2);
}

TEST_F(ImportMergeTest, ExistingDescriptionsAreSkippedIgnoringLetterCase) {
  AddPerson("Ann");
  std::vector<uint32_t> added = ImportEudora("alias ANN x\r\nalias bob y\r\nalias BOB z\r\n");
  EXPECT_EQ(added, (std::vector<uint32_t>{1}));
  EXPECT_STREQ(Person(0).email, "");  // the existing person stays as it was
  EXPECT_STREQ(Person(1).description, "bob");
  EXPECT_STREQ(Person(1).email, "y");  // of two same nicknames only the first is added
}

TEST_F(ImportMergeTest, AllPresentAddsNobodyButGrowsCapacityAndWritesTheFile) {
  AddPerson("Ann");
  AddPerson("Bob");
  uint32_t capacityBefore = store.persons->capacity;
  std::vector<uint32_t> added = ImportEudora("alias ann x\r\nalias bob y\r\nalias Ann z\r\n");
  EXPECT_TRUE(added.empty());
  EXPECT_EQ(store.persons->used, 2u);
  EXPECT_EQ(store.persons->capacity, capacityBefore + 3);
  EXPECT_EQ(PersonFile().substr(0, 4), std::string("\x02\0\0\0", 4));
}

TEST_F(ImportMergeTest, DeletedPersonIsNotRevived) {
  AddPerson("Ann", /*deleted=*/true);
  std::vector<uint32_t> added = ImportEudora("alias Ann new@x\r\n");
  EXPECT_EQ(added, (std::vector<uint32_t>{1}));
  EXPECT_EQ(Person(0).deleted, 1);
  EXPECT_STREQ(Person(0).email, "");
  EXPECT_EQ(Person(1).deleted, 0);
  EXPECT_EQ(FindPersonByDescription(store, "ann"), 1);
}

TEST_F(ImportMergeTest, LongDescriptionIsCutAndLookedUpCut) {
  std::string longName(300, 'd');
  AddPerson(longName.substr(0, 258));
  EXPECT_TRUE(ImportEudora("alias " + longName + " x\r\n").empty());

  AddressStore fresh;
  fresh.personPath = store.personPath;
  std::swap(store, fresh);
  EXPECT_EQ(ImportEudora("alias " + longName + " x\r\n"), (std::vector<uint32_t>{0}));
  EXPECT_EQ(std::strlen(Person(0).description), 258u);  // as much as the person dialog takes
  EXPECT_STREQ(Person(0).email, "x");
}

// A short description after a long one: nothing of the long one follows the short one's zero.
TEST_F(ImportMergeTest, DescriptionFieldIsZeroAfterItsText) {
  ImportEudora("alias " + std::string(200, 'l') + " l\r\nalias s s\r\n");
  const PersonRecord& shortOne = Person(1);
  ASSERT_STREQ(shortOne.description, "s");
  EXPECT_EQ(std::string(shortOne.description + 1, kTextFieldSize - 1), std::string(kTextFieldSize - 1, '\0'));
}

TEST_F(ImportMergeTest, NamesJoinOrFallBackWhenTooLong) {
  auto joined = [](size_t first, size_t middle, size_t last) {
    std::string f(first, 'f'), m(middle, 'm'), l(last, 'l');
    ImportEntry entry;
    entry.firstName = f;
    entry.middleName = m;
    entry.lastName = l;
    char names[kTextFieldSize];
    std::memset(names, 'X', sizeof names);
    JoinImportedNames(entry, names);
    return std::string(names);
  };
  EXPECT_EQ(joined(100, 100, 100), ";;");
  EXPECT_EQ(joined(0, 0, 257), ";;");  // 259 bytes joined
  EXPECT_EQ(joined(0, 0, 256), ";;" + std::string(256, 'l'));
  EXPECT_EQ(joined(1, 0, 2), "f;;ll");
  ImportEntry smith;
  smith.lastName = "Smith";
  smith.firstName = "John";
  smith.middleName = ";;";
  char names[kTextFieldSize];
  JoinImportedNames(smith, names);
  EXPECT_STREQ(names, "John;;;;Smith");
}

TEST_F(ImportMergeTest, VCardPersonGetsJoinedNamesAndMemo) {
  std::string text =
      "BEGIN:VCARD\r\nN:Smith;John;;;\r\nFN:John Smith\r\nNOTE:" + std::string(300, 'n') +
      "\r\nEMAIL;INTERNET:" + std::string(200, 'e') + "\r\nEND:VCARD\r\n";
  std::optional<ImportBatch> batch = ReadVCard(text);
  ASSERT_TRUE(batch.has_value());
  EXPECT_EQ(AppendImportedPersons(store, *batch, SystemCodePage()).persons, (std::vector<uint32_t>{0}));
  const PersonRecord& p = Person(0);
  EXPECT_STREQ(p.names, "John;;Smith");
  EXPECT_EQ(std::strlen(p.memo), 258u);
  // A long address is cut to what the field holds and leaves the names intact.
  EXPECT_EQ(std::string(p.email), std::string(127, 'e'));
  EXPECT_STREQ(p.description, "John Smith");
}

TEST_F(ImportMergeTest, IntoABookWithoutPersonTable) {
  EXPECT_EQ(ImportEudora("alias a 1\r\nalias b 2\r\nalias c 3\r\n"),
            (std::vector<uint32_t>{0, 1, 2}));
  EXPECT_EQ(store.persons->capacity, 3u);
  EXPECT_EQ(PersonFile().substr(0, 4), std::string("\x03\0\0\0", 4));
}

TEST_F(ImportMergeTest, EmptyBatchStillCreatesTableAndFile) {
  EXPECT_TRUE(ImportEudora("nothing here").empty());
  ASSERT_TRUE(store.persons.has_value());
  EXPECT_EQ(store.persons->capacity, 0u);
  EXPECT_EQ(PersonFile(), std::string(4, '\0'));
}

TEST_F(ImportMergeTest, TableThatCannotGrowAddsNobodyAndStillSaves) {
  store.persons.emplace();
  store.persons->slots.resize(kMaxSlots);
  store.persons->capacity = store.persons->used = kMaxSlots;
  for (uint32_t slot = 0; slot < kMaxSlots; ++slot) (*store.persons)[slot].deleted = 1;
  (*store.persons)[0].deleted = 0;
  CopyToField((*store.persons)[0].description, kTextFieldSize, "Ann");
  EXPECT_TRUE(ImportEudora("alias new x\r\n").empty());
  EXPECT_EQ(store.persons->used, kMaxSlots);
  EXPECT_EQ(PersonFile().substr(0, 4), std::string("\x01\0\0\0", 4));
}

}  // namespace
