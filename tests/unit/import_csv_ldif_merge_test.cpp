// CSV and LDIF files merged into the book: groups named on each row or listed whole, the report
// lines of the lists, and the round trips of a book with groups through both exports into an
// empty book. The native build's ANSI code page is Windows-1252.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>

#include "export/csv_export.h"
#include "export/export_selection.h"
#include "export/ldif_export.h"
#include "import/foreign_book_batch.h"
#include "import/foreign_readers.h"
#include "import/import_merge.h"
#include "store/code_page.h"
#include "store/indexes.h"
#include "tests/unit/dialogs_test_store.h"

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class ContactsMerge : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("kalbook_contacts_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
    Place(book, "book");
    Place(copy, "copy");
  }
  void TearDown() override { fs::remove_all(dir); }

  void Place(AddressStore& store, const std::string& name) {
    store.personPath = (dir / (name + "_personal.inf")).string();
    store.groupPath = (dir / (name + "_group.inf")).string();
  }

  ImportOutcome Import(AddressStore& into, const ForeignBook& foreign) {
    std::optional<ImportBatch> batch = BatchOfForeignBook(foreign);
    EXPECT_TRUE(batch.has_value());
    return batch ? AppendImportedPersons(into, *batch, SystemCodePage()) : ImportOutcome();
  }

  // A book of persons in several groups, with accents, a comma in a description, and an empty group.
  void FillBook() {
    uint32_t ann = AddTestPerson(book, "Ann Lee", "ann@example.org", "Ann;;Lee", "likes tea, coffee; cake");
    uint32_t rene =
        AddTestPerson(book, "Ren\xE9 Roy, Jr.", "rene@example.org", "Ren\xE9;Paul;Roy", "Caf\xE9 \"au lait\", 2\xB0");
    uint32_t bo = AddTestPerson(book, "Bo", "bo@example.se", ";;", "");
    AddTestPerson(book, "Gone", "gone@example.org", 1);
    uint32_t cy = AddTestPerson(book, "Cy", "cy@example.com", "Cy;;", "");
    AddTestGroup(book, "Team", {cy, rene, ann});
    AddTestGroup(book, "Choir", {bo});
    CopyToField((*book.groups)[1].memo, kTextFieldSize, "Tuesdays");
    AddTestGroup(book, "Old", {ann}, 1);
    AddTestGroup(book, "Empty");
    ASSERT_TRUE(SavePersonFile(book));
  }

  // Each live group's name with its members' descriptions in member order.
  static std::map<std::string, std::vector<std::string>> Groups(const AddressStore& store) {
    std::map<std::string, std::vector<std::string>> groups;
    if (!store.groups) return groups;
    for (uint32_t g = 0; g < store.groups->used; ++g) {
      const GroupRecord& group = (*store.groups)[g];
      if (group.deleted) continue;
      std::vector<std::string>& members = groups[group.name];
      if (group.members)
        for (uint32_t m : *group.members) members.push_back((*store.persons)[m].description);
    }
    return groups;
  }

  fs::path dir;
  AddressStore book, copy;
};

TEST_F(ContactsMerge, OutlookCsvRoundTripGivesTheSamePersonsAndGroups) {
  FillBook();
  std::optional<ForeignBook> foreign = ReadContactsCsv(WriteOutlookCsv(book, PersonsToExport(book, {})));
  ASSERT_TRUE(foreign.has_value());
  ImportOutcome outcome = Import(copy, *foreign);
  EXPECT_FALSE(outcome.report.WorthTelling());
  EXPECT_EQ(ReadFile(copy.personPath), ReadFile(book.personPath));
  // Members as sets: CSV names the groups on each person, so members join in person order; an
  // empty group and a group's memo have no place in CSV.
  auto original = Groups(book), back = Groups(copy);
  original.erase("Empty");
  ASSERT_EQ(back.size(), original.size());
  for (auto& [name, members] : original) {
    std::set<std::string> expected(members.begin(), members.end());
    EXPECT_EQ(std::set<std::string>(back[name].begin(), back[name].end()), expected) << name;
  }
}

TEST_F(ContactsMerge, LdifRoundTripKeepsGroupsWithMembersInOrderButNoMiddleNames) {
  FillBook();
  std::string ldif = WriteLdif(book, PersonsToExport(book, {}), GroupsToExport(book, {}));
  ImportOutcome outcome = Import(copy, ReadLdif(ldif));
  EXPECT_FALSE(outcome.report.WorthTelling());
  EXPECT_EQ(outcome.groups.size(), 3u);
  EXPECT_EQ(Groups(copy), Groups(book));
  EXPECT_STREQ((*copy.groups)[1].memo, "Tuesdays");
  // The same person file once the middle name, which LDIF cannot carry, is gone from the book.
  CopyToField((*book.persons)[1].names, kTextFieldSize, "Ren\xE9;;Roy");
  ASSERT_TRUE(SavePersonFile(book));
  EXPECT_EQ(ReadFile(copy.personPath), ReadFile(book.personPath));
}

TEST_F(ContactsMerge, ListedGroupsJoinExistingOnesAndReportMembersNotInTheFile) {
  uint32_t old = AddTestPerson(copy, "Old", "old@x");
  AddTestPerson(copy, "Ann", "ann@old.example");
  AddTestGroup(copy, "team", {old});
  std::string ldif =
      "dn: cn=Ann,mail=ann@x\nobjectclass: person\ncn: Ann\nmail: ann@x\n\n"
      "dn: cn=Bob,mail=bob@x\nobjectclass: person\ncn: Bob\nmail: bob@x\n\n"
      "dn: cn=Nomail\nobjectclass: person\ncn: Nomail\n\n"
      "dn: cn=Team\nobjectclass: groupOfNames\ncn: Team\ndescription: new memo\n"
      "member: cn=Bob,mail=bob@x\nmember: cn=Ghost\\, Jr.,mail=g@x\nmember: cn=Ann,mail=ann@x\n"
      "member: cn=Nomail\n\n"
      "dn: cn=Friends/Family\nobjectclass: groupOfNames\ncn: Friends/Family\nmember: cn=Bob,mail=bob@x\n\n"
      "dn: cn=Nobody\nobjectclass: groupOfNames\ncn: Nobody\ndescription: kept empty\n";
  ImportOutcome outcome = Import(copy, ReadLdif(ldif));
  // Ann is already in the book (by description) and joins as that person; Bob is new.
  EXPECT_EQ(outcome.persons.size(), 1u);
  auto groups = Groups(copy);
  EXPECT_EQ(groups["team"], (std::vector<std::string>{"Old", "Bob", "Ann"}));
  EXPECT_STREQ((*copy.groups)[0].memo, "");  // an existing group keeps its memo
  EXPECT_EQ(groups["Nobody"], (std::vector<std::string>{}));
  EXPECT_STREQ((*copy.groups)[2].memo, "kept empty");
  EXPECT_EQ(groups["Friends-Family"], (std::vector<std::string>{"Bob"}));  // fitted to the rules
  const ImportReport& report = outcome.report;
  EXPECT_EQ(report.notTaken, 2u);  // Ann already in the book, Nomail without an address
  EXPECT_EQ(report.changed, 0u);
  EXPECT_EQ(report.fitted, 1u);
  std::string text = BuildImportReport(report, [](int id) { return "<" + std::to_string(id) + ">"; });
  EXPECT_EQ(text,
            "<170>\n<171>\n<2103>\n\n<173>\n"
            "Ann - <174>\nNomail - <177>\nGhost, Jr. - <187>\nFriends-Family - <2104>");
}

TEST_F(ContactsMerge, CsvGroupsFollowTheVCardRules) {
  std::string csv =
      "First Name,Last Name,E-mail 1 - Value,Labels\r\n"
      "Ann,Lee,ann@x,* myContacts ::: Friends ::: Bad;Name\r\n"
      "Bo,,,Friends\r\n"
      "Cy,,cy@x,* starred ::: friends\r\n";
  std::optional<ForeignBook> foreign = ReadContactsCsv(csv);
  ASSERT_TRUE(foreign.has_value());
  ImportOutcome outcome = Import(copy, *foreign);
  auto groups = Groups(copy);
  ASSERT_EQ(groups.size(), 2u);
  EXPECT_EQ(groups["Friends"], (std::vector<std::string>{"Ann Lee", "Cy"}));
  EXPECT_EQ(groups["Bad,Name"], (std::vector<std::string>{"Ann Lee"}));  // ";" fitted to ","
  EXPECT_EQ(outcome.report.withoutAddress, 1u);  // Bo
  EXPECT_EQ(outcome.report.fitted, 1u);
}

}  // namespace
