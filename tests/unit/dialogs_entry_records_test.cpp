#include <gtest/gtest.h>

#include "dialogs/entry_records.h"
#include "dialogs_test_store.h"
#include "store/indexes.h"

TEST(AddPerson, AppendsCountsAndIndexes) {
  AddressStore store;
  AddTestPerson(store, "Old");
  PersonFields fields{"New", "new@example.org", "memo", {"", "", ""}};
  int slot = AddPerson(store, fields);
  ASSERT_EQ(slot, 1);
  EXPECT_EQ(store.persons->used, 2u);
  const PersonRecord& person = (*store.persons)[1];
  EXPECT_STREQ(person.names, ";;");
  EXPECT_STREQ(person.email, "new@example.org");
  EXPECT_EQ(person.deleted, 0);
  EXPECT_EQ(FindPersonByDescription(store, "new"), 1);
  EXPECT_EQ(store.personNameIndex.count, 2);
}

TEST(AddPerson, CutsEveryFieldToItsWidth) {
  AddressStore store;
  PersonFields fields{std::string(300, 'd'), std::string(300, 'e'), std::string(300, 'm'),
                      {std::string(200, 'f'), "", std::string(100, 'l')}};
  int slot = AddPerson(store, fields);
  ASSERT_EQ(slot, 0);
  const PersonRecord& person = (*store.persons)[0];
  EXPECT_EQ(std::string(person.description).size(), kTextFieldSize - 1);
  EXPECT_EQ(std::string(person.email).size(), kEmailFieldSize - 1);
  EXPECT_EQ(std::string(person.names).size(), kTextFieldSize - 1);
  EXPECT_EQ(std::string(person.memo).size(), kTextFieldSize - 1);
}

TEST(UpdatePerson, OverwritesTheSlotAndRebuildsTheIndexes) {
  AddressStore store;
  AddTestPerson(store, "Before");
  BuildIndexes(store);
  EXPECT_TRUE(UpdatePerson(store, 0, {"After", "a@b", "", {"A", "B", "C"}}));
  EXPECT_STREQ((*store.persons)[0].names, "A;B;C");
  EXPECT_EQ(FindPersonByDescription(store, "after"), 0);
  EXPECT_EQ(FindPersonByDescription(store, "before"), -1);
  EXPECT_FALSE(UpdatePerson(store, 1, {"x", "", "", {}}));
  EXPECT_FALSE(UpdatePerson(store, -1, {"x", "", "", {}}));
}

TEST(AddGroup, StoresTheMembersInOrderOrNone) {
  AddressStore store;
  AddTestPerson(store, "Ann");
  AddTestPerson(store, "Bo");
  int withMembers = AddGroup(store, {"Team", "m", {1, 0}});
  int empty = AddGroup(store, {"Nobody", "", {}});
  const GroupRecord& team = (*store.groups)[withMembers];
  EXPECT_EQ(team.memberCount, 2u);
  ASSERT_TRUE(team.members);
  EXPECT_EQ(*team.members, (MemberList{1, 0}));
  EXPECT_EQ((*store.groups)[empty].memberCount, 0u);
  EXPECT_FALSE((*store.groups)[empty].members);
  EXPECT_EQ(FindGroupByName(store, "TEAM"), withMembers);
}

TEST(UpdateGroup, ReplacesTheMemberList) {
  AddressStore store;
  AddTestPerson(store, "Ann");
  uint32_t slot = AddTestGroup(store, "Team", {0});
  EXPECT_TRUE(UpdateGroup(store, static_cast<int>(slot), {"team", "", {}}));
  EXPECT_STREQ((*store.groups)[slot].name, "team");
  EXPECT_EQ((*store.groups)[slot].memberCount, 0u);
  EXPECT_FALSE((*store.groups)[slot].members);
}

TEST(FlagDeletedEntries, FlagsPersonsAndGroupsAndSkipsUnknownSlots) {
  AddressStore store;
  AddTestPerson(store, "Ann");
  AddTestPerson(store, "Bo");
  AddTestGroup(store, "Team", {0, 1});
  FlagDeletedEntries(store, {MakeItemRef(1, kPersonItem), MakeItemRef(0, kGroupItem), MakeItemRef(8, kGroupItem),
                             MakeItemRef(5, kPersonItem)});
  EXPECT_EQ((*store.persons)[0].deleted, 0);
  EXPECT_EQ((*store.persons)[1].deleted, 1);
  EXPECT_EQ((*store.groups)[0].deleted, 1);
  ASSERT_TRUE((*store.groups)[0].members);  // a deleted group keeps its members in memory
  AddressStore none;
  FlagDeletedEntries(none, {MakeItemRef(0, kPersonItem), MakeItemRef(0, kGroupItem)});
  EXPECT_FALSE(none.persons);
}
