#include <gtest/gtest.h>

#include <string>

#include "handoff/address_packing.h"

namespace {

class PackingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    store.persons.emplace();
    store.groups.emplace();
  }

  ItemRef AddPerson(const std::string& email) {
    PersonTable& t = *store.persons;
    t.slots.emplace_back();
    t.capacity = t.used = static_cast<uint32_t>(t.slots.size());
    CopyToField(t.slots.back().email, kEmailFieldSize, email);
    return MakeItemRef(t.used - 1, kPersonItem);
  }

  ItemRef AddGroup(const std::vector<ItemRef>& members, bool noMemberList = false) {
    GroupTable& t = *store.groups;
    t.slots.emplace_back();
    t.capacity = t.used = static_cast<uint32_t>(t.slots.size());
    GroupRecord& g = t.slots.back();
    if (!noMemberList) {
      g.members.emplace();
      for (ItemRef m : members) g.members->push_back(ItemSlot(m));
    }
    g.memberCount = static_cast<uint32_t>(members.size());
    return MakeItemRef(t.used - 1, kGroupItem);
  }

  AddressStore store;
};

std::vector<std::string> Names(const std::vector<AddressFile>& files) {
  std::vector<std::string> names;
  for (const AddressFile& f : files) names.push_back(f.name);
  return names;
}

TEST_F(PackingTest, NoRecipientsGivesNoFileAtAll) {
  AddPerson("a@b.c");
  EXPECT_TRUE(PackAddresses(store, {}).empty());
}

TEST_F(PackingTest, OnePersonGivesTheFinalFileWithItsAddressAndComma) {
  auto files = PackAddresses(store, {AddPerson("0123456789")});
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].name, "c:\\TempFile");
  EXPECT_EQ(files[0].text, "0123456789,");
  EXPECT_EQ(files[0].text.size(), 11u);  // announced length; the file holds 12 bytes with the zero
}

TEST_F(PackingTest, AddressesAreJoinedByCommasOnlyAndAnEmptyOneGivesALoneComma) {
  ItemRef a = AddPerson("a@x");
  ItemRef empty = AddPerson("");
  ItemRef b = AddPerson("b@y");
  auto files = PackAddresses(store, {a, empty, b});
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].text, "a@x,,b@y,");
}

TEST_F(PackingTest, GroupsWithoutMembersGiveAnEmptyFinalFile) {
  ItemRef noList = AddGroup({}, true);
  ItemRef emptyList = AddGroup({});
  auto files = PackAddresses(store, {noList, emptyList});
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].name, "c:\\TempFile");
  EXPECT_EQ(files[0].text, "");
}

TEST_F(PackingTest, GroupsExpandInMemberOrderIgnoringDeletedAndDuplicatesStay) {
  ItemRef a = AddPerson("a");
  ItemRef b = AddPerson("b");
  ItemRef c = AddPerson("c");
  (*store.persons)[ItemSlot(c)].deleted = 1;
  ItemRef g1 = AddGroup({c, a});
  ItemRef g2 = AddGroup({a, b});
  auto files = PackAddresses(store, {a, g1, g2});
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].text, "a,c,a,a,b,");
}

TEST_F(PackingTest, MemberCountBeyondTheStoredListReadsOnlyTheList) {
  ItemRef a = AddPerson("a");
  ItemRef g = AddGroup({a});
  (*store.groups)[ItemSlot(g)].memberCount = 5;
  (*store.groups)[ItemSlot(g)].members->push_back(999);  // a slot no person has
  EXPECT_EQ(PackAddresses(store, {g})[0].text, "a,");
}

TEST_F(PackingTest, FillRuleTakes47AfterA150CharacterTextButNot48) {
  // 150 characters in the buffer: two addresses of 74 and their commas.
  ItemRef first = AddPerson(std::string(74, 'x'));
  ItemRef second = AddPerson(std::string(74, 'y'));
  ItemRef fits = AddPerson(std::string(47, 'f'));
  ItemRef overflows = AddPerson(std::string(48, 'o'));

  auto files = PackAddresses(store, {first, second, fits});
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].text.size(), 198u);

  files = PackAddresses(store, {first, second, overflows});
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0].name, "c:\\Temp0.adr");
  EXPECT_EQ(files[0].text, std::string(74, 'x') + "," + std::string(74, 'y') + ",");
  EXPECT_EQ(files[0].text.size(), 150u);
  EXPECT_EQ(files[1].name, "c:\\TempFile");
  EXPECT_EQ(files[1].text, std::string(48, 'o') + ",");
}

TEST_F(PackingTest, PersonsAndGroupMembersShareOneFileCounter) {
  ItemRef big = AddPerson(std::string(120, 'p'));
  ItemRef member = AddPerson(std::string(120, 'm'));
  ItemRef group = AddGroup({member, member});
  auto files = PackAddresses(store, {big, group, big});
  // big | member (group) | member (group) | big: each one overflows the one before.
  EXPECT_EQ(Names(files), (std::vector<std::string>{"c:\\Temp0.adr", "c:\\Temp1.adr",
                                                     "c:\\Temp2.adr", "c:\\TempFile"}));
  EXPECT_EQ(files[1].text, std::string(120, 'm') + ",");
  EXPECT_EQ(files[3].text, std::string(120, 'p') + ",");
  for (const AddressFile& f : files) EXPECT_LT(f.text.size(), kAddressBufferSize - 1);
}

TEST_F(PackingTest, AbsentTableStopsTheHandOffKeepingOnlyFilesAlreadyFilled) {
  ItemRef big = AddPerson(std::string(120, 'p'));
  ItemRef group = MakeItemRef(0, kGroupItem);
  store.groups.reset();
  auto files = PackAddresses(store, {big, big, group, big});
  EXPECT_EQ(Names(files), (std::vector<std::string>{"c:\\Temp0.adr"}));

  store.persons.reset();
  EXPECT_TRUE(PackAddresses(store, {big}).empty());
}

TEST_F(PackingTest, AnyNonZeroKindCountsAsAGroup) {
  ItemRef a = AddPerson("a");
  ItemRef g = AddGroup({a, a});
  EXPECT_EQ(PackAddresses(store, {(g & 0xFFFF0000u) | 7u})[0].text, "a,a,");
}

TEST_F(PackingTest, SlotsOutsideTheTablesContributeNothing) {
  AddPerson("a");
  auto files = PackAddresses(store, {MakeItemRef(40, kPersonItem), MakeItemRef(40, kGroupItem)});
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].text, "");
}

TEST_F(PackingTest, LongestAddressesNeverExceedTheBuffer) {
  std::vector<ItemRef> many(20, AddPerson(std::string(127, 'z')));
  auto files = PackAddresses(store, many);
  ASSERT_EQ(files.size(), 20u);
  EXPECT_EQ(files[19].name, "c:\\TempFile");
  EXPECT_EQ(files[18].name, "c:\\Temp18.adr");
  for (const AddressFile& f : files) EXPECT_EQ(f.text.size(), 128u);
}

}  // namespace
