// Export as vCard: which persons, the card text and its folding, and the round trip back through
// the import into an empty book. The native build's ANSI code page is Windows-1252.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "export/vcard_export.h"
#include "import/import_merge.h"
#include "store/code_page.h"
#include "import/import_readers.h"
#include "store/indexes.h"
#include "tests/unit/dialogs_test_store.h"

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class ExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("kalbook_export_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
           "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
    book.personPath = (dir / "personal.inf").string();
    book.groupPath = (dir / "group.inf").string();
  }
  void TearDown() override { fs::remove_all(dir); }

  // Exports every live person, imports the text into an empty book and compares the person
  // files of both books byte for byte.
  void ExpectRoundTrip() {
    ASSERT_TRUE(SavePersonFile(book));
    std::string text = WriteVCards(book, PersonsToExport(book, {}));
    AddressStore copy;
    copy.personPath = (dir / "copy.inf").string();
    std::optional<ImportBatch> batch = ReadVCard(text);
    ASSERT_TRUE(batch.has_value());
    AppendImportedPersons(copy, *batch, SystemCodePage());
    std::string back = ReadFile(copy.personPath), original = ReadFile(book.personPath);
    size_t differs = 0;
    while (differs < back.size() && differs < original.size() && back[differs] == original[differs])
      ++differs;
    EXPECT_TRUE(back == original) << "first difference at byte " << differs << " of "
                                  << original.size() << ": ..." << original.substr(differs, 40);
  }

  fs::path dir;
  AddressStore book;
};

TEST_F(ExportTest, ChoosesLivePersonsInSlotOrderEachOnce) {
  uint32_t ann = AddTestPerson(book, "Ann", "a@x", ";;", "");
  uint32_t gone = AddTestPerson(book, "Gone", "g@x", ";;", "", 1);
  uint32_t bob = AddTestPerson(book, "Bob", "b@x", ";;", "");
  uint32_t cy = AddTestPerson(book, "Cy", "", ";;", "");
  uint32_t team = AddTestGroup(book, "Team", {cy, gone, ann});
  uint32_t old = AddTestGroup(book, "Old", {bob}, 1);
  EXPECT_EQ(PersonsToExport(book, {}), (std::vector<uint32_t>{ann, bob, cy}));
  EXPECT_EQ(PersonsToExport(book, {MakeItemRef(team, kGroupItem)}), (std::vector<uint32_t>{ann, cy}));
  EXPECT_EQ(PersonsToExport(book, {MakeItemRef(bob, kPersonItem), MakeItemRef(team, kGroupItem),
                                   MakeItemRef(ann, kPersonItem)}),
            (std::vector<uint32_t>{ann, bob, cy}));
  // A deleted group or person adds nobody.
  EXPECT_TRUE(PersonsToExport(book, {MakeItemRef(old, kGroupItem), MakeItemRef(gone, kPersonItem)}).empty());
  EXPECT_TRUE(PersonsToExport(AddressStore(), {}).empty());
}

TEST_F(ExportTest, CardHoldsItsPropertiesEscapedWithCategories) {
  uint32_t ann = AddTestPerson(book, "Lee, Ann; \\boss", "ann@x", "Ann;M.;Lee", "line one\r\nline two");
  uint32_t bob = AddTestPerson(book, "Bob", "", ";;", "");
  AddTestGroup(book, "Friends, old", {ann});
  AddTestGroup(book, "Gone", {ann}, 1);
  AddTestGroup(book, "Work", {ann, ann});
  EXPECT_EQ(WriteVCards(book, {ann, bob}),
            "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Lee\\, Ann\\; \\\\boss\r\nN:Lee;Ann;M.;;\r\n"
            "EMAIL;TYPE=INTERNET:ann@x\r\nNOTE:line one\\nline two\r\n"
            "CATEGORIES:Friends\\, old,Work\r\nEND:VCARD\r\n"
            "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Bob\r\nN:;;;;\r\nEND:VCARD\r\n");
}

TEST_F(ExportTest, LinesAreFoldedAt75OctetsNeverInsideACharacter) {
  // 0xE9 is two octets in UTF-8, 0x80 (the euro sign) three.
  std::string memo;
  for (int i = 0; i < 259; ++i) memo.push_back(i % 3 == 0 ? '\xE9' : i % 3 == 1 ? '\x80' : 'x');
  uint32_t slot = AddTestPerson(book, std::string(259, 'd'), "m@x", ";;", memo);
  std::string text = WriteVCards(book, {slot});
  size_t start = 0;
  bool folded = false;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    ASSERT_NE(end, std::string::npos);
    std::string line = text.substr(start, end - start);
    EXPECT_LE(line.size(), 75u) << line;
    if (!line.empty() && line[0] == ' ') {
      folded = true;
      EXPECT_NE(static_cast<unsigned char>(line[1]) & 0xC0, 0x80) << "folded inside a character";
    }
    start = end + 2;
  }
  EXPECT_TRUE(folded);
  EXPECT_EQ(text.find('\xEF'), std::string::npos) << "no byte-order mark";
}

TEST_F(ExportTest, RoundTripGivesThePersonFileBackByteForByte) {
  // Every character of the code page but the controls, commas anywhere, fields filled to the
  // 258 characters the dialogs let one type; names hold none of the characters the dialogs refuse.
  std::string every;
  for (int c = 0x21; c < 0x100; ++c)
    if (c != 0x7F) every.push_back(static_cast<char>(c));
  every.insert(50, " ");
  std::string named;
  for (char c : every)
    if (std::string_view(";\\/*:?\"<>|()").find(c) == std::string_view::npos) named.push_back(c);
  std::mt19937 random(7);
  auto text = [&](size_t length, bool name = false) {
    const std::string& from = name ? named : every;
    std::string t;
    while (t.size() < length) {
      char c = from[random() % from.size()];
      t.push_back(c);
    }
    if (t.front() == ' ') t.front() = 'a';
    if (t.back() == ' ') t.back() = 'z';
    return t;
  };
  AddTestPerson(book, "Ann", "ann@x", "Ann;;Lee", "");
  AddTestPerson(book, "Deleted", "d@x", ";;", "", 1);
  AddTestPerson(book, "Smith, John, Jr.", "j;s,@x", "Jo,hn;P. Q.;Sm-ith", "a;b,c\\d");
  AddTestPerson(book, named.substr(0, 200), "every@x", ";;", every.substr(0, 258));
  AddTestPerson(book, named.substr(100), "e2@x", ";;", every.substr(0, 100));
  for (int i = 0; i < 200; ++i)
    AddTestPerson(book, text(1 + random() % 255, true) + std::to_string(i), text(1 + random() % 127),
              text(1 + random() % 80, true) + ";" + text(1 + random() % 80, true) + ";" +
                  text(1 + random() % 80, true),
              text(1 + random() % 258));
  AddTestPerson(book, "No mail", "", ";;", "");  // not in the file that comes back
  book.persons->used -= 1;  // ... so it is left out of both books
  ExpectRoundTrip();
}

TEST_F(ExportTest, RoundTripGivesTheSameGroupsWithTheSameMembersInOrder) {
  uint32_t ann = AddTestPerson(book, "Ann", "ann@x", "Ann;;Lee", "");
  uint32_t bob = AddTestPerson(book, "Bob", "bob@x", ";;", "");
  uint32_t cy = AddTestPerson(book, "Cy", "cy@x", ";;", "memo");
  AddTestPerson(book, "Dee", "dee@x", ";;", "");
  uint32_t eve = AddTestPerson(book, "Eve", "eve@x", ";;", "");
  AddTestGroup(book, "Friends, old", {ann, cy, eve});
  AddTestGroup(book, "Work & day", {bob, cy});
  AddTestGroup(book, "Chess club", {cy});
  AddTestGroup(book, "\xC9quipe", {ann, bob, cy, eve});
  ASSERT_TRUE(SaveGroupFile(book));
  ExpectRoundTrip();
  AddressStore copy;
  copy.personPath = (dir / "copy.inf").string();
  copy.groupPath = (dir / "copygroup.inf").string();
  std::optional<ImportBatch> batch = ReadVCard(WriteVCards(book, PersonsToExport(book, {})));
  ASSERT_TRUE(batch.has_value());
  ImportOutcome outcome = AppendImportedPersons(copy, *batch, SystemCodePage());
  EXPECT_FALSE(outcome.report.WorthTelling());
  ASSERT_EQ(outcome.groups.size(), 4u);
  // Groups come in the order the file first names them; each with the same members in order.
  auto membersOf = [](const AddressStore& store, uint32_t group) {
    std::vector<std::string> names;
    for (uint32_t member : *(*store.groups)[group].members) names.push_back((*store.persons)[member].description);
    return names;
  };
  for (uint32_t g = 0; g < book.groups->used; ++g) {
    const char* name = (*book.groups)[g].name;
    int found = FindGroupByName(copy, name);
    ASSERT_GE(found, 0) << name;
    EXPECT_STREQ((*copy.groups)[found].name, name);
    EXPECT_EQ(membersOf(copy, found), membersOf(book, g)) << name;
  }
}

TEST_F(ExportTest, ExportFileReplacesItsTargetWhole) {
  std::string path = (dir / "contacts.vcf").string();
  std::ofstream(path) << "old content that is longer than the new one";
  ASSERT_TRUE(WriteExportFile(path, "new"));
  EXPECT_EQ(ReadFile(path), "new");
  EXPECT_FALSE(fs::exists(path + ".tmp"));
  EXPECT_FALSE(WriteExportFile((dir / "missing" / "x.vcf").string(), "x"));
}

}  // namespace
