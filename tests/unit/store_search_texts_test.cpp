#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/delete_undo.h"
#include "dialogs/entry_records.h"
#include "dialogs_test_store.h"
#include "import/import_merge.h"
#include "store/search_texts.h"
#include "store_test_folder.h"

namespace {

bool PersonFinds(AddressStore& store, uint32_t slot, const std::string& text) {
  return PersonHoldsWords(store, slot, SearchWords(store, text));
}

bool GroupFinds(AddressStore& store, uint32_t slot, const std::string& text) {
  return GroupHoldsWords(store, slot, SearchWords(store, text));
}

}  // namespace

TEST(SearchTexts, EveryTextOfAnEntryCounts) {
  AddressStore store;
  uint32_t ann = AddTestPerson(store, "Ann Lee", "ashlee@x.org", "Ann;Maria;Gr\xFCn", "likes tea");
  uint32_t team = AddTestGroup(store, "Team", {ann});
  CopyToField((*store.groups)[team].memo, kTextFieldSize, "Fridays");
  FoldBookTexts(store, SingleByteCodePage(1252));
  for (const char* text : {"lee", "ASHLEE", "x.org", "maria", "grun", "tea", "lee tea", "tea lee", ""})
    EXPECT_TRUE(PersonFinds(store, ann, text)) << text;
  for (const char* text : {"bob", "lee bob", "team"}) EXPECT_FALSE(PersonFinds(store, ann, text)) << text;
  // A word never spans two texts, nor the ";" between two name parts.
  EXPECT_FALSE(PersonFinds(store, ann, "annmaria"));
  EXPECT_FALSE(PersonFinds(store, ann, "ann;maria"));
  EXPECT_TRUE(GroupFinds(store, team, "fri tEAm"));
  EXPECT_FALSE(GroupFinds(store, team, "ann"));  // members do not count
  // Deleted entries and slots beyond the table match nothing.
  (*store.persons)[ann].deleted = 1;
  EXPECT_FALSE(PersonFinds(store, ann, ""));
  EXPECT_FALSE(PersonFinds(store, 7, ""));
  EXPECT_FALSE(GroupFinds(store, 3, ""));
}

TEST(SearchTexts, EmptyRecordsAndNoTables) {
  AddressStore store;
  EXPECT_FALSE(PersonFinds(store, 0, ""));
  EXPECT_FALSE(GroupFinds(store, 0, ""));
  uint32_t blank = AddTestPerson(store, "");
  EXPECT_TRUE(PersonFinds(store, blank, " "));
  EXPECT_FALSE(PersonFinds(store, blank, "a"));
}

TEST(SearchTexts, FollowEditsAddsAndUndo) {
  AddressStore store;
  uint32_t ann = AddTestPerson(store, "Ann Lee", "ann@x.org");
  FoldBookTexts(store, SingleByteCodePage(1252));
  ASSERT_TRUE(PersonFinds(store, ann, "ann"));

  PersonFields edited{"Anna Berg", "berg@y.org", "", {"", "", ""}};
  ASSERT_TRUE(UpdatePerson(store, static_cast<int>(ann), edited));
  EXPECT_TRUE(PersonFinds(store, ann, "berg"));
  EXPECT_FALSE(PersonFinds(store, ann, "lee"));

  // A person added after the book was folded, and one put straight into the table.
  int bob = AddPerson(store, PersonFields{"Bob", "bob@z.org", "M\xE9mo", {"", "", ""}});
  ASSERT_GE(bob, 0);
  EXPECT_TRUE(PersonFinds(store, static_cast<uint32_t>(bob), "memo"));
  uint32_t cy = AddTestPerson(store, "Cy Dahl");
  EXPECT_TRUE(PersonFinds(store, cy, "dahl"));

  int group = AddGroup(store, GroupFields{"Chess", "", {}});
  ASSERT_GE(group, 0);
  EXPECT_TRUE(GroupFinds(store, static_cast<uint32_t>(group), "chess"));
  ASSERT_TRUE(UpdateGroup(store, group, GroupFields{"Go club", "", {}}));
  EXPECT_FALSE(GroupFinds(store, static_cast<uint32_t>(group), "chess"));

  DeleteUndo undo = RecordDelete(store, {MakeItemRef(ann, kPersonItem)}, {0}, {});
  ApplyDelete(store, undo);
  EXPECT_FALSE(PersonFinds(store, ann, "berg"));
  ASSERT_EQ(RestoreDeletedEntries(store, undo), UndoOutcome::Restored);
  EXPECT_TRUE(PersonFinds(store, ann, "berg"));
}

class SearchTextsImport : public BookFolderTest {};

TEST_F(SearchTextsImport, ImportedPersonsAndGroupsAreFound) {
  AddPerson("Ann Lee", "ann@x.org");
  FoldBookTexts(store_, SingleByteCodePage(1252));
  std::optional<ImportBatch> batch = ImportBatch::Make(4);
  ASSERT_TRUE(batch);
  ImportEntry entry;
  entry.description = "Zo\xEB Quinn";
  entry.email = "zoe@q.org";
  entry.lastName = "Quinn";
  entry.groups = {"Cr\xE8me"};
  ASSERT_TRUE(batch->Append(entry));
  ImportOutcome outcome = AppendImportedPersons(store_, *batch, SingleByteCodePage(1252));
  ASSERT_EQ(outcome.persons.size(), 1u);
  ASSERT_EQ(outcome.groups.size(), 1u);
  EXPECT_TRUE(PersonFinds(store_, outcome.persons[0], "zoe quinn"));
  EXPECT_TRUE(GroupFinds(store_, outcome.groups[0], "creme"));
  EXPECT_TRUE(PersonFinds(store_, 0, "lee"));
}
