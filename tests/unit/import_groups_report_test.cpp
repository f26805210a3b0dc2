// The merge's groups and its report: groups named by the imported persons, the counts of what
// was not taken as it stood, and the message built from them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "import/charset.h"
#include "import/decoded_person.h"
#include "import/import_groups.h"
#include "import/import_merge.h"
#include "store/code_page.h"
#include "import/import_report.h"
#include "store/indexes.h"
#include "tests/unit/dialogs_test_store.h"

namespace {

namespace fs = std::filesystem;

std::string S(std::string_view v) { return std::string(v); }

class ImportGroupsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("kalbook_groups_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
    store.personPath = (dir / "personal.inf").string();
    store.groupPath = (dir / "group.inf").string();
  }
  void TearDown() override { fs::remove_all(dir); }

  // Appends a person with the given groups as a reader would.
  void Add(const std::string& description, std::vector<std::string> groups = {},
           const std::string& email = "x@y") {
    DecodedPerson person;
    person.description = description;
    person.email = email;
    person.groups = std::move(groups);
    ASSERT_TRUE(AppendDecodedPerson(batch, person));
  }

  ImportOutcome Merge() { return AppendImportedPersons(store, batch, SystemCodePage()); }

  std::string GroupName(uint32_t slot) const { return (*store.groups)[slot].name; }
  MemberList Members(uint32_t slot) const {
    const GroupRecord& g = (*store.groups)[slot];
    EXPECT_EQ(g.memberCount, g.members ? g.members->size() : 0u);
    return g.members ? *g.members : MemberList();
  }
  uint32_t Slot(const std::string& description) const {
    return static_cast<uint32_t>(FindPersonByDescription(store, description.c_str()));
  }

  fs::path dir;
  AddressStore store;
  ImportBatch batch = *ImportBatch::Make(1);
};

TEST_F(ImportGroupsTest, NamedGroupsAreFoundOrMadeInFileOrderWithMembersInFileOrder) {
  uint32_t old = AddTestPerson(store, "Old");
  uint32_t team = AddTestGroup(store, "Team", {old});
  AddTestGroup(store, "Gone", {}, 1);
  Add("Ann", {"team", "Club", "Gone"});
  Add("Bob", {"Club", "club", "TEAM"});
  Add("Cy", {"Chess"});
  ImportOutcome outcome = Merge();
  ASSERT_EQ(outcome.groups, (std::vector<uint32_t>{2, 3, 4}));
  EXPECT_EQ(GroupName(2), "Club");
  EXPECT_EQ(GroupName(3), "Gone");  // a deleted group of that name does not count
  EXPECT_EQ(GroupName(4), "Chess");
  EXPECT_STREQ((*store.groups)[2].memo, "");
  EXPECT_EQ(Members(team), (MemberList{old, Slot("Ann"), Slot("Bob")}));
  EXPECT_EQ(Members(2), (MemberList{Slot("Ann"), Slot("Bob")}));  // never a member twice
  EXPECT_EQ(Members(4), (MemberList{Slot("Cy")}));
  EXPECT_EQ(outcome.report.newGroups, 3u);
  EXPECT_FALSE(outcome.report.WorthTelling());
  // Written once, and found by name afterwards.
  EXPECT_TRUE(fs::exists(store.groupPath));
  EXPECT_EQ(FindGroupByName(store, "chess"), 4);
}

TEST_F(ImportGroupsTest, SystemLabelsAreIgnoredAndRefusedNamesReported) {
  Add("Ann", {"My Contacts", "MYCONTACTS", "Starred in Android", "Starred", "", "a/b",
              "\xE7\x8E\x8B", "Fine"});
  ImportOutcome outcome = Merge();
  ASSERT_EQ(outcome.groups, (std::vector<uint32_t>{0, 1}));
  EXPECT_EQ(GroupName(0), "a-b");  // a forbidden character becomes its look-alike
  EXPECT_EQ(GroupName(1), "Fine");
  const ImportReport& r = outcome.report;
  EXPECT_EQ(r.changed, 1u);
  EXPECT_EQ(r.groupsLeftOut, 1u);
  EXPECT_EQ(r.fitted, 1u);
  ASSERT_EQ(r.lines.size(), 3u);
  EXPECT_EQ(r.lines[0].group, "?");  // unshowable: told before the others the entry names
  EXPECT_EQ(r.lines[0].reason, ReportReason::kGroupLeftOut);
  EXPECT_EQ(r.lines[0].description, "Ann");
  EXPECT_EQ(r.lines[1].group, "");
  EXPECT_EQ(r.lines[2].description, "a-b");
  EXPECT_EQ(r.lines[2].reason, ReportReason::kFitted);
  EXPECT_TRUE(IsSystemGroupLabel("starred in android"));
  EXPECT_FALSE(IsSystemGroupLabel("Starred friends"));
}

TEST_F(ImportGroupsTest, APersonAlreadyInTheBookStillJoinsTheGroups) {
  uint32_t ann = AddTestPerson(store, "Ann");
  Add("ANN", {"Club"});
  Add("Bob", {"Club"});
  Add("bob", {"Chess"});  // the first Bob, added from this same file
  ImportOutcome outcome = Merge();
  EXPECT_EQ(outcome.persons.size(), 1u);
  EXPECT_EQ(Members(0), (MemberList{ann, Slot("Bob")}));
  EXPECT_EQ(Members(1), (MemberList{Slot("Bob")}));
  EXPECT_EQ(outcome.report.notTaken, 2u);
  EXPECT_EQ(outcome.report.alreadyInBook, 2u);
  EXPECT_EQ(outcome.report.changed, 0u);
}

TEST_F(ImportGroupsTest, NoGroupFileIsWrittenWhenNoGroupChanged) {
  Add("Ann", {"My Contacts"});
  Merge();
  EXPECT_TRUE(fs::exists(store.personPath));
  EXPECT_FALSE(fs::exists(store.groupPath));
}

TEST_F(ImportGroupsTest, TextsAreStoredAsLongAsTheDialogsTakeThemAndCountedAsCut) {
  std::string longText(300, 'd');
  DecodedPerson person;
  person.description = longText;
  person.email = std::string(200, 'e');
  person.memo = longText;
  person.groups = {longText};
  ASSERT_TRUE(AppendDecodedPerson(batch, person));
  Add("Short");
  ImportOutcome outcome = Merge();
  const PersonRecord& p = (*store.persons)[0];
  EXPECT_EQ(S(p.description), longText.substr(0, 258));
  EXPECT_EQ(S(p.memo), longText.substr(0, 258));
  EXPECT_EQ(S(p.email), std::string(127, 'e'));
  EXPECT_EQ(GroupName(0), longText.substr(0, 258));
  EXPECT_EQ(outcome.report.changed, 1u);
  EXPECT_EQ(outcome.report.cut, 1u);
  ASSERT_EQ(outcome.report.lines.size(), 1u);
  EXPECT_EQ(outcome.report.lines[0].description, longText.substr(0, 258));
  EXPECT_EQ(outcome.report.lines[0].reason, ReportReason::kCut);
}

TEST_F(ImportGroupsTest, CountsArePersonsAndLinesFollowTheFileUpToTen) {
  AddTestPerson(store, "Dup");
  Add("One");
  Add("Dup");
  Add("\xE7\x8E\x8B", {}, "");  // neither an address nor a showable name
  Add(std::string(300, 'c') + "\xE7\x8E\x8B", {"\xE7\x8E\x8B"});  // cut, unshowable and a group left out
  for (int i = 0; i < 10; ++i) Add("Nomail" + std::to_string(i), {}, "");
  ImportOutcome outcome = Merge();
  const ImportReport& r = outcome.report;
  EXPECT_EQ(r.imported, 2u);
  EXPECT_EQ(r.notTaken, 12u);
  EXPECT_EQ(r.alreadyInBook, 1u);
  EXPECT_EQ(r.withoutAddress, 11u);
  EXPECT_EQ(r.overLimit, 0u);
  EXPECT_EQ(r.changed, 1u);
  EXPECT_EQ(r.unshowable, 1u);
  EXPECT_EQ(r.groupsLeftOut, 1u);
  ASSERT_EQ(r.lines.size(), ImportReport::kMaxLines);
  EXPECT_EQ(r.lines[0].description, "Dup");
  EXPECT_EQ(r.lines[0].reason, ReportReason::kAlreadyInBook);
  EXPECT_EQ(r.lines[1].description, "");
  EXPECT_EQ(r.lines[1].reason, ReportReason::kNoAddress);
  EXPECT_EQ(r.lines[2].reason, ReportReason::kUnshowable);  // its description fell back to the address
  EXPECT_EQ(r.lines[2].description, "x@y");
  EXPECT_EQ(r.lines[3].reason, ReportReason::kGroupLeftOut);
  EXPECT_EQ(r.lines[4].description, "Nomail0");
  EXPECT_EQ(r.lines[9].description, "Nomail5");
}

TEST(ImportReportText, LinesShowOnlyWhenTheyApply) {
  std::map<int, std::string> texts = {
      {170, "Imported: %d persons, %d new groups."},
      {171, "Not taken: %d (already in the book: %d; without an e-mail address or a name: %d; over the book's limit: %d)."},
      {172, "Changed: %d (cut to the field's length: %d; characters this system cannot show: %d; groups left out: %d)."},
      {173, "The first of them:"}, {174, "already in the book"}, {175, "cut"},
      {176, "characters this system cannot show"}, {177, "no e-mail address"},
      {178, "group left out: %s"}, {179, "over the book's limit"}};
  TextOfId textOf = [&](int id) { return texts[id]; };
  ImportReport report;
  report.imported = 3;
  EXPECT_EQ(BuildImportReport(report, textOf), "Imported: 3 persons, 0 new groups.");
  report.CountNotTaken("Ann", ReportReason::kAlreadyInBook);
  report.CountNotTaken("Bob", ReportReason::kOverLimit);
  EntryChanges changes;
  changes.cut = true;
  changes.groupsLeftOut = {"a:b", "c?"};
  report.CountTaken("Cy", changes);
  report.CountTaken("Dee", EntryChanges());
  EXPECT_EQ(BuildImportReport(report, textOf),
            "Imported: 3 persons, 0 new groups.\n"
            "Not taken: 2 (already in the book: 1; without an e-mail address or a name: 0; over the book's limit: 1).\n"
            "Changed: 1 (cut to the field's length: 1; characters this system cannot show: 0; groups left out: 1).\n\n"
            "The first of them:\n"
            "Ann - already in the book\n"
            "Bob - over the book's limit\n"
            "Cy - cut\n"
            "Cy - group left out: a:b\n"
            "Cy - group left out: c?");
  ImportReport changedOnly;
  EntryChanges unshowable;
  unshowable.unshowable = true;
  changedOnly.CountTaken("Eve", unshowable);
  EXPECT_EQ(BuildImportReport(changedOnly, textOf),
            "Imported: 0 persons, 0 new groups.\n"
            "Changed: 1 (cut to the field's length: 0; characters this system cannot show: 1; groups left out: 0).\n\n"
            "The first of them:\nEve - characters this system cannot show");
}

}  // namespace

namespace {

struct Converted {
  std::string description, first, middle, last, memo, email;
  bool unshowable;
};

Converted Convert(const DecodedPerson& person) {
  ImportBatch batch = *ImportBatch::Make(1);
  EXPECT_TRUE(AppendDecodedPerson(batch, person));
  EXPECT_EQ(batch.count(), 1u);
  const ImportEntry& e = batch[0];
  return {S(e.description), S(e.firstName), S(e.middleName), S(e.lastName), S(e.memo), S(e.email),
          (e.notes & kNoteUnshowable) != 0};
}

TEST(DecodedPersonTest, UnshowableCharactersAndTheDescriptionFallback) {
  DecodedPerson p;
  p.email = " wang@x ";
  p.description = "\xE7\x8E\x8B\xE4\xBC\x9F";  // two characters no Western code page holds
  p.first = "\xC5\x81ukasz";                   // best fit keeps the letters
  p.middle = "\xE4\xBC\x9F";
  p.last = " Nowak ";
  p.memo = "note \xE7\x8E\x8B";
  Converted c = Convert(p);
  EXPECT_EQ(c.description, "Lukasz Nowak");
  EXPECT_EQ(c.first, "Lukasz");
  EXPECT_EQ(c.middle, "");
  EXPECT_EQ(c.last, "Nowak");
  EXPECT_EQ(c.memo, "note ?");  // the memo has no character rules
  EXPECT_EQ(c.email, "wang@x");
  EXPECT_TRUE(c.unshowable);

  p.first = "\xE7\x8E\x8B";  // a name part with one is not used by the fallback
  p.last = "";
  EXPECT_EQ(Convert(p).description, "wang@x");

  DecodedPerson plain;
  plain.description = "Andr\xC3\xA9";
  plain.email = "a@x";
  c = Convert(plain);
  EXPECT_EQ(c.description, "Andr\xE9");
  EXPECT_FALSE(c.unshowable);
}

TEST(DecodedPersonTest, SemicolonMadeByTheConversionCannotSplitTheNames) {
  DecodedPerson p;
  p.email = "a@x";
  p.last = "Smith\xEF\xBC\x9BJones";  // a fullwidth semicolon, whose best fit is ";"
  Converted c = Convert(p);
  EXPECT_EQ(c.last, "Smith,Jones");
  EXPECT_EQ(c.description, "Smith,Jones");
  EXPECT_FALSE(c.unshowable);
}

TEST(DecodedPersonTest, WithoutAnAddressItIsNotedNotAppended) {
  ImportBatch batch = *ImportBatch::Make(1);
  DecodedPerson p;
  p.first = "Ann";
  p.last = "Lee";
  p.email = "  ";
  ASSERT_TRUE(AppendDecodedPerson(batch, p));
  EXPECT_EQ(batch.count(), 0u);
  ASSERT_EQ(batch.withoutAddress().size(), 1u);
  EXPECT_EQ(batch.withoutAddress()[0].description, "Ann Lee");
  EXPECT_EQ(batch.withoutAddress()[0].position, 0u);
}

}  // namespace

namespace {

TEST_F(ImportGroupsTest, EntriesBeyondTheBooksLimitAreReportedTheOthersTaken) {
  ASSERT_TRUE(GrowPersonTableForBatch(store.persons, kMaxSlots - 2));
  PersonTable& table = *store.persons;
  for (uint32_t slot = 0; slot < kMaxSlots - 2; ++slot) {
    table[slot].deleted = 1;  // slots of deleted persons are never used again
    CopyToField(table[slot].names, kTextFieldSize, ";;");
  }
  table.used = kMaxSlots - 2;
  for (const char* name : {"Ann", "Bob", "Cy", "Dee"}) Add(name, {"Club"});
  ImportOutcome outcome = Merge();
  EXPECT_EQ(outcome.persons, (std::vector<uint32_t>{kMaxSlots - 2, kMaxSlots - 1}));
  EXPECT_EQ(store.persons->used, kMaxSlots);
  EXPECT_EQ(outcome.report.overLimit, 2u);
  ASSERT_EQ(outcome.report.lines.size(), 2u);
  EXPECT_EQ(outcome.report.lines[0].description, "Cy");
  EXPECT_EQ(outcome.report.lines[1].reason, ReportReason::kOverLimit);
  EXPECT_EQ(Members(0), (MemberList{kMaxSlots - 2, kMaxSlots - 1}));  // only those taken join
}

TEST(AnsiConversion, OnlyCharactersWithoutBestFitAreUnshowable) {
  EXPECT_FALSE(Utf8ToAnsiChecked("Who? Me?").unshowable);  // a "?" of the text itself
  AnsiText best = Utf8ToAnsiChecked("\xC5\x81" "\xC3\xB3" "d\xC5\xBA");
  EXPECT_EQ(best.text, "L\xF3" "dz");
  EXPECT_FALSE(best.unshowable);
  AnsiText none = Utf8ToAnsiChecked("a\xE7\x8E\x8B" "b\xF0\x9F\x98\x80");
  EXPECT_EQ(none.text, "a?b?");
  EXPECT_TRUE(none.unshowable);
}

}  // namespace
