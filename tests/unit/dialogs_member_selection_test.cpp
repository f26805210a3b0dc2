#include <gtest/gtest.h>

#include "dialogs/member_selection.h"
#include "dialogs_test_store.h"

TEST(MembersToAppend, AddsOnlyNewPersonsInTheOrderChosen) {
  EXPECT_EQ(MembersToAppend({4, 1}, {0, 1, 2}), (std::vector<uint32_t>{0, 2}));
  EXPECT_EQ(MembersToAppend({0, 2}, {0, 2}), (std::vector<uint32_t>{}));  // a second Append >> adds nothing
  EXPECT_EQ(MembersToAppend({}, {3, 3, 1}), (std::vector<uint32_t>{3, 1}));
  EXPECT_EQ(MembersToAppend({5}, {}), (std::vector<uint32_t>{}));
}

TEST(LivePersonSlots, OffersLivePersonsInTableOrder) {
  AddressStore store;
  EXPECT_TRUE(LivePersonSlots(store).empty());
  AddTestPerson(store, "Zed");
  AddTestPerson(store, "Gone", "", 1);
  AddTestPerson(store, "Amy");
  EXPECT_EQ(LivePersonSlots(store), (std::vector<uint32_t>{0, 2}));
}

TEST(LiveMemberSlots, LeavesOutDeletedAndUnknownPersons) {
  AddressStore store;
  AddTestPerson(store, "Ann");
  AddTestPerson(store, "Gone", "", 1);
  AddTestPerson(store, "Cy");
  uint32_t group = AddTestGroup(store, "g", {2, 1, 9, 0});
  EXPECT_EQ(LiveMemberSlots(store, group), (std::vector<uint32_t>{2, 0}));

  uint32_t deletedGroup = AddTestGroup(store, "old", {0}, 1);
  EXPECT_TRUE(LiveMemberSlots(store, deletedGroup).empty());
  EXPECT_TRUE(LiveMemberSlots(store, 17).empty());
  (*store.groups)[group].memberCount = 1;  // the count decides how many entries are members
  EXPECT_EQ(LiveMemberSlots(store, group), (std::vector<uint32_t>{2}));
}
