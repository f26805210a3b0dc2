#include <gtest/gtest.h>

#include <algorithm>

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
  ASSERT_EQ(RestoreDeletedEntries(store_, undo), UndoOutcome::Restored);
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
  ASSERT_EQ(RestoreDeletedEntries(store_, undo), UndoOutcome::Restored);
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
  EXPECT_EQ(RestoreDeletedEntries(store_, undo), UndoOutcome::BookChanged);
  EXPECT_EQ((*store_.persons)[1].deleted, 1);

  DeleteUndo edited = Delete({Person(3)}, {3});
  UpdateGroup(store_, 0, GroupFields{"Team", "", {0}});
  EXPECT_EQ(RestoreDeletedEntries(store_, edited), UndoOutcome::BookChanged);

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
  EXPECT_EQ(RestoreDeletedEntries(store_, undo), UndoOutcome::KeyTaken);
  EXPECT_EQ((*store_.persons)[1].deleted, 1);
  EXPECT_EQ((*store_.groups)[1].deleted, 1);
  CopyToField((*store_.persons)[3].description, kTextFieldSize, "Di");
  CopyToField((*store_.groups)[0].name, kTextFieldSize, "club");
  EXPECT_EQ(RestoreDeletedEntries(store_, undo), UndoOutcome::KeyTaken);
  EXPECT_EQ((*store_.persons)[1].deleted, 1) << "nothing half done";
  CopyToField((*store_.groups)[0].name, kTextFieldSize, "Team");
  EXPECT_EQ(RestoreDeletedEntries(store_, undo), UndoOutcome::Restored);
}

// An old file may hold two persons alike: deleting one of them is undone, the pair as it was.
TEST_F(DeleteUndoTest, OneOfTwoPersonsWithTheSameDescriptionComesBack) {
  CopyToField((*store_.persons)[3].description, kTextFieldSize, "BO");  // Bo and BO, as read from a file
  (*(*store_.groups)[2].members)[0] = 1;                                // Board {Bo, Ed}
  BuildIndexes(store_);
  ASSERT_TRUE(SavePersonFile(store_));
  ASSERT_TRUE(SaveGroupFile(store_));
  Bytes persons = Read(store_.personPath), groups = Read(store_.groupPath);
  for (uint32_t gone : {1u, 3u}) {
    DeleteUndo undo = Delete({Person(gone)}, {static_cast<int>(gone)});
    EXPECT_EQ(undo.sharedKeys, (std::vector<ItemRef>{Person(gone)}));
    ASSERT_EQ(RestoreDeletedEntries(store_, undo), UndoOutcome::Restored) << gone;
    ASSERT_TRUE(SavePersonFile(store_));
    ASSERT_TRUE(SaveGroupFile(store_));
    EXPECT_EQ(Read(store_.personPath), persons) << gone;
    EXPECT_EQ(Read(store_.groupPath), groups) << gone;
  }
  // Both deleted together come back together; the pair was there before the delete.
  DeleteUndo both = Delete({Person(1), Person(3)}, {1, 3});
  EXPECT_TRUE(both.sharedKeys.empty());
  EXPECT_EQ(RestoreDeletedEntries(store_, both), UndoOutcome::Restored);
  EXPECT_EQ(store_.personNameIndex.count, 5);
}

TEST_F(DeleteUndoTest, ADeleteWhoseSaveFailedIsStillUndone) {
  std::string personPath = store_.personPath;
  store_.personPath = dir_ + "/missing/personal.inf";
  DeleteUndo undo = Delete({Person(1)}, {1});
  EXPECT_TRUE(store_.personFile.savePending);
  store_.personPath = personPath;
  ASSERT_EQ(RestoreDeletedEntries(store_, undo), UndoOutcome::Restored);
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

class PlacesInOrderTest : public DeleteUndoTest {
 protected:
  // Ann, Bo, Cy, Di, Ed with addresses running the other way; the groups Team, Club, Board.
  void SetUp() override {
    DeleteUndoTest::SetUp();
    const char* mails[] = {"e@x.org", "d@x.org", "c@x.org", "b@x.org", "a@x.org"};
    for (uint32_t p = 0; p < 5; ++p) CopyToField((*store_.persons)[p].email, kEmailFieldSize, mails[p]);
    BuildIndexes(store_);
  }
  // The list as the sort in this order would show the live entries.
  std::vector<ItemRef> Sorted(EntryOrder order) {
    std::vector<ItemRef> all;
    for (uint32_t p = 0; p < 5; ++p) all.push_back(Person(p));
    for (uint32_t g = 0; g < 3; ++g) all.push_back(Group(g));
    std::vector<DeleteUndo::Placed> places = PlacesInOrder(store_, order, {}, all);
    std::vector<ItemRef> list;
    for (const auto& placed : places) list.push_back(placed.entry);
    return list;
  }
  std::vector<ItemRef> Without(std::vector<ItemRef> list, const std::vector<ItemRef>& gone) {
    for (ItemRef entry : gone) list.erase(std::find(list.begin(), list.end(), entry));
    return list;
  }
};

TEST_F(PlacesInOrderTest, EachSortOrderPutsPersonsThenGroupsByTheirIndexes) {
  EXPECT_EQ(Sorted(EntryOrder::ByNameAscending),
            (std::vector<ItemRef>{Person(0), Person(1), Person(2), Person(3), Person(4), Group(2), Group(1), Group(0)}));
  EXPECT_EQ(Sorted(EntryOrder::ByNameDescending),
            (std::vector<ItemRef>{Person(4), Person(3), Person(2), Person(1), Person(0), Group(0), Group(1), Group(2)}));
  // Groups have no address: record order in either direction.
  EXPECT_EQ(Sorted(EntryOrder::ByMailAscending),
            (std::vector<ItemRef>{Person(4), Person(3), Person(2), Person(1), Person(0), Group(0), Group(1), Group(2)}));
  EXPECT_EQ(Sorted(EntryOrder::ByMailDescending),
            (std::vector<ItemRef>{Person(0), Person(1), Person(2), Person(3), Person(4), Group(0), Group(1), Group(2)}));
}

// Deleted in the old order, the list sorted since: the entries go where the sort puts them.
TEST_F(PlacesInOrderTest, UndoneEntriesTakeTheirPlacesInTheListsOrderNow) {
  std::vector<ItemRef> gone = {Person(1), Person(4), Group(1)};
  for (EntryOrder order : {EntryOrder::ByNameAscending, EntryOrder::ByNameDescending, EntryOrder::ByMailAscending,
                           EntryOrder::ByMailDescending}) {
    std::vector<ItemRef> full = Sorted(order);
    PlacedList back = WithPlacedItems(Without(full, gone), PlacesInOrder(store_, order, Without(full, gone), gone));
    EXPECT_EQ(back.items, full) << static_cast<int>(order);
    EXPECT_EQ(back.placedAt.size(), 3u);
  }
  // At the ends of the list, and into an empty one.
  std::vector<ItemRef> ends = {Person(0), Group(0)};
  std::vector<ItemRef> full = Sorted(EntryOrder::ByNameAscending);
  PlacedList back = WithPlacedItems(Without(full, ends), PlacesInOrder(store_, EntryOrder::ByNameAscending,
                                                                       Without(full, ends), ends));
  EXPECT_EQ(back.items, full);
  EXPECT_EQ(back.placedAt, (std::vector<int>{0, 7}));
  EXPECT_EQ(WithPlacedItems({}, PlacesInOrder(store_, EntryOrder::ByMailAscending, {}, {Person(0), Person(4)})).items,
            (std::vector<ItemRef>{Person(4), Person(0)}));
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
