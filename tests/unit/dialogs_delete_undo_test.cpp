#include <gtest/gtest.h>

#include "dialogs/delete_undo.h"
#include "dialogs/entry_records.h"
#include "store/indexes.h"
#include "store_test_folder.h"

namespace {

constexpr ItemRef Person(uint32_t slot) { return MakeItemRef(slot, kPersonItem); }
constexpr ItemRef Group(uint32_t slot) { return MakeItemRef(slot, kGroupItem); }

class DeleteUndoTest : public BookFolderTest {
 protected:
  // Ann, Bo, Cy, Di, Ed; "Team" {Ann, Bo, Cy}, "Club" {Cy, Ann}, "Board" {Di, Ed}.
  void SetUp() override {
    BookFolderTest::SetUp();
    for (const char* name : {"Ann", "Bo", "Cy", "Di", "Ed"}) AddPerson(name, "x@example.org");
    for (const auto& [name, members] : {std::pair<const char*, MemberList>{"Team", {0, 1, 2}},
                                        {"Club", {2, 0}}, {"Board", {3, 4}}}) {
      ASSERT_TRUE(ReserveRecordSlot(store_.groups));
      GroupRecord& group = (*store_.groups)[store_.groups->used++];
      CopyToField(group.name, kTextFieldSize, name);
      group.memberCount = static_cast<uint32_t>(members.size());
      group.members = members;
    }
    BuildIndexes(store_);
    ASSERT_TRUE(SavePersonFile(store_));
    ASSERT_TRUE(SaveGroupFile(store_));
    personsBefore_ = Read(store_.personPath);
    groupsBefore_ = Read(store_.groupPath);
  }

  // As the delete command does it: record, flag, write both files.
  DeleteUndo Delete(const std::vector<ItemRef>& entries, const std::vector<int>& positions,
                    const std::vector<ItemRef>& recipients = {}) {
    DeleteUndo undo = RecordDelete(store_, entries, positions, recipients);
    ApplyDelete(store_, undo);
    SavePersonFile(store_);
    SaveGroupFile(store_);
    FreeIndexes(store_);
    BuildIndexes(store_);
    return undo;
  }

  Bytes personsBefore_, groupsBefore_;
};

TEST_F(DeleteUndoTest, PersonInSeveralGroupsAndAGroupWithMembersComeBackByteForByte) {
  // List: Ann Bo Cy Di Ed Team Club Board; Ann (in Team and Club) and Board are deleted.
  DeleteUndo undo = Delete({Person(0), Group(2)}, {0, 7});
  ASSERT_EQ(undo.memberships.size(), 2u);
  EXPECT_EQ(undo.memberships[0].group, 0u);
  EXPECT_EQ(undo.memberships[0].position, 0u);
  EXPECT_EQ(undo.memberships[1].group, 1u);
  EXPECT_EQ(undo.memberships[1].position, 1u);
  EXPECT_NE(Read(store_.personPath), personsBefore_);
  EXPECT_NE(Read(store_.groupPath), groupsBefore_);
  EXPECT_EQ(FindPersonByDescription(store_, "ann"), -1);

  ASSERT_TRUE(CanUndoDelete(store_, undo));
  ASSERT_TRUE(RestoreDeletedEntries(store_, undo));
  EXPECT_EQ(FindPersonByDescription(store_, "ann"), 0);
  EXPECT_EQ(FindGroupByName(store_, "board"), 2);
  EXPECT_EQ(*(*store_.groups)[2].members, (MemberList{3, 4}));
  EXPECT_EQ(store_.personNameIndex.count, 5);
  ASSERT_TRUE(SavePersonFile(store_));
  ASSERT_TRUE(SaveGroupFile(store_));
  EXPECT_EQ(Read(store_.personPath), personsBefore_);
  EXPECT_EQ(Read(store_.groupPath), groupsBefore_);
}

TEST_F(DeleteUndoTest, MembersMissingFromTheirGroupsArePutBackAtTheirPlaces) {
  DeleteUndo undo = Delete({Person(0), Person(2)}, {0, 2});
  // Team lost Ann (0) and Cy (2), Club both of its members.
  ASSERT_EQ(undo.memberships.size(), 4u);
  (*store_.groups)[0].members = MemberList{1};
  (*store_.groups)[0].memberCount = 1;
  (*store_.groups)[1].members.reset();
  (*store_.groups)[1].memberCount = 0;
  ASSERT_TRUE(RestoreDeletedEntries(store_, undo));
  EXPECT_EQ(*(*store_.groups)[0].members, (MemberList{0, 1, 2}));
  EXPECT_EQ((*store_.groups)[0].memberCount, 3u);
  EXPECT_EQ(*(*store_.groups)[1].members, (MemberList{2, 0}));
  EXPECT_EQ((*store_.groups)[1].memberCount, 2u);
  SaveGroupFile(store_);
  EXPECT_EQ(Read(store_.groupPath), groupsBefore_);
}

TEST_F(DeleteUndoTest, DroppedRecipientsAreKeptWithTheirPositions) {
  // Recipients: Cy, Ann, Team, Ann. Deleting Ann and Team drops the first Ann and Team.
  std::vector<ItemRef> recipients = {Person(2), Person(0), Group(0), Person(0)};
  DeleteUndo undo = Delete({Person(0), Group(0)}, {0, 5}, recipients);
  ASSERT_EQ(undo.recipients.size(), 2u);
  EXPECT_EQ(undo.recipients[0].entry, Person(0));
  EXPECT_EQ(undo.recipients[0].position, 1);
  EXPECT_EQ(undo.recipients[1].entry, Group(0));
  EXPECT_EQ(undo.recipients[1].position, 2);
  PlacedList back = WithPlacedItems({Person(2), Person(0)}, undo.recipients);
  EXPECT_EQ(back.items, recipients);
  EXPECT_EQ(back.placedAt, (std::vector<int>{1, 2}));
}

TEST_F(DeleteUndoTest, AnyLaterChangeOfTheBookEndsTheUndo) {
  DeleteUndo undo = Delete({Person(1)}, {1});
  EXPECT_TRUE(CanUndoDelete(store_, undo));
  ::AddPerson(store_, PersonFields{"Bo", "", "", {}});
  EXPECT_FALSE(CanUndoDelete(store_, undo));
  EXPECT_FALSE(RestoreDeletedEntries(store_, undo));
  EXPECT_EQ((*store_.persons)[1].deleted, 1);

  DeleteUndo edited = Delete({Person(3)}, {3});
  UpdateGroup(store_, 0, GroupFields{"Team", "", {0}});
  EXPECT_FALSE(RestoreDeletedEntries(store_, edited));

  DeleteUndo first = Delete({Person(4)}, {3});
  DeleteUndo second = Delete({Person(2)}, {2});
  EXPECT_FALSE(CanUndoDelete(store_, first));
  EXPECT_TRUE(CanUndoDelete(store_, second));
  EXPECT_FALSE(CanUndoDelete(store_, DeleteUndo{}));
}

TEST_F(DeleteUndoTest, ARestoreThatWouldRepeatALiveKeyIsRefused) {
  DeleteUndo undo = Delete({Person(1), Group(1)}, {1, 6});
  // A live record took the key without the change being counted (as a foreign path might).
  CopyToField((*store_.persons)[3].description, kTextFieldSize, "BO");
  EXPECT_FALSE(RestoreDeletedEntries(store_, undo));
  EXPECT_EQ((*store_.persons)[1].deleted, 1);
  EXPECT_EQ((*store_.groups)[1].deleted, 1);
  CopyToField((*store_.persons)[3].description, kTextFieldSize, "Di");
  CopyToField((*store_.groups)[0].name, kTextFieldSize, "club");
  EXPECT_FALSE(RestoreDeletedEntries(store_, undo));
  CopyToField((*store_.groups)[0].name, kTextFieldSize, "Team");
  EXPECT_TRUE(RestoreDeletedEntries(store_, undo));
}

TEST_F(DeleteUndoTest, ADeleteWhoseSaveFailedIsStillUndone) {
  std::string personPath = store_.personPath;
  store_.personPath = dir_ + "/missing/personal.inf";
  DeleteUndo undo = Delete({Person(1)}, {1});
  EXPECT_TRUE(store_.personFile.savePending);
  store_.personPath = personPath;
  ASSERT_TRUE(RestoreDeletedEntries(store_, undo));
  ASSERT_TRUE(SavePersonFile(store_));
  ASSERT_TRUE(SaveGroupFile(store_));
  EXPECT_FALSE(store_.personFile.savePending);
  EXPECT_EQ(Read(store_.personPath), personsBefore_);
  EXPECT_EQ(Read(store_.groupPath), groupsBefore_);
}

TEST(WithPlacedItems, PutsItemsBackWhereTheyStoodOrAtTheEnd) {
  using P = DeleteUndo::Placed;
  PlacedList list = WithPlacedItems({10, 11, 12}, {P{1, 0}, P{2, 2}, P{3, 6}, P{4, 9}});
  EXPECT_EQ(list.items, (std::vector<ItemRef>{1, 10, 2, 11, 12, 3, 4}));
  EXPECT_EQ(list.placedAt, (std::vector<int>{0, 2, 5, 6}));
  PlacedList all = WithPlacedItems({}, {P{7, 0}, P{8, 1}});
  EXPECT_EQ(all.items, (std::vector<ItemRef>{7, 8}));
  EXPECT_EQ(WithPlacedItems({5}, {}).items, (std::vector<ItemRef>{5}));
}

}  // namespace

#include "app/command_enabling.h"

TEST(UndoAndPrintEnabling, UndoFollowsTheHeldDeleteAndPrintAnyEntry) {
  EnablingInputs in;
  in.undoDelete = true;
  EnabledCommands empty = DecideEnabling(in);
  EXPECT_TRUE(empty.undoDelete);  // everything deleted: undo is still offered
  EXPECT_FALSE(empty.print);
  in.count = 1;
  in.undoDelete = false;
  EnabledCommands one = DecideEnabling(in);
  EXPECT_FALSE(one.undoDelete);
  EXPECT_TRUE(one.print);
}
