#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "store/indexes.h"
#include "store/name_rules.h"
#include "store/records.h"
#include "store_test_folder.h"

namespace {

using StoreFiles = BookFolderTest;

const Bytes kAnn = {1, 0, 0, 0, 'A', 'n', 'n', 0, 0, ';', ';', 0, 0};
const Bytes kTeam = {1, 0, 0, 0, 'T', 'e', 'a', 'm', 0, 0, 1, 0, 0, 0, 4, 0, 0, 0, 'A', 'n', 'n', 0};

TEST_F(StoreFiles, ByteExamplesAreWrittenAndReadBack) {
  AddPerson("Ann");
  ASSERT_TRUE(ReserveRecordSlot(store_.groups));
  GroupRecord& team = (*store_.groups)[0];
  CopyToField(team.name, kTextFieldSize, "Team");
  team.members = MemberList{0};
  team.memberCount = 1;
  store_.groups->used = 1;
  ASSERT_TRUE(SavePersonFile(store_));
  ASSERT_TRUE(SaveGroupFile(store_));
  EXPECT_EQ(Read(store_.personPath), kAnn);
  EXPECT_EQ(Read(store_.groupPath), kTeam);

  AddressStore loaded;
  loaded.personPath = store_.personPath;
  loaded.groupPath = store_.groupPath;
  LoadAddressStore(loaded);
  ASSERT_TRUE(loaded.persons && loaded.groups);
  EXPECT_EQ(loaded.persons->used, 1u);
  EXPECT_STREQ((*loaded.persons)[0].names, ";;");
  EXPECT_EQ((*loaded.groups)[0].memberCount, 1u);
  EXPECT_EQ((*loaded.groups)[0].members->at(0), 0u);
}

TEST_F(StoreFiles, LoadRulesForGroups) {
  Write(store_.groupPath, kTeam);
  LoadAddressStore(store_);
  EXPECT_FALSE(store_.persons);  // no person file: no groups either
  EXPECT_FALSE(store_.groups);

  Write(store_.personPath, {0, 0, 0, 0});
  LoadAddressStore(store_);
  ASSERT_TRUE(store_.persons && store_.groups);
  EXPECT_EQ(store_.persons->capacity, 0u);
  EXPECT_EQ((*store_.groups)[0].memberCount, 0u);  // its member is unresolved
  EXPECT_FALSE((*store_.groups)[0].members);

  Write(store_.personPath, {1, 0, 0, 0, 'a', 'N', 'N', 0, 0, 0, 0});
  // M = 0 with L = 3 skips the three bytes; the next group still reads.
  Write(store_.groupPath, {2, 0, 0, 0, 'X', 0, 0, 0, 0, 0, 0, 3, 0, 0, 0, 'z', 'z', 0,
                           'Y', 0, 0, 1, 0, 0, 0, 4, 0, 0, 0, 'A', 'n', 'n', 0});
  LoadAddressStore(store_);
  ASSERT_EQ(store_.groups->used, 2u);
  EXPECT_STREQ((*store_.groups)[1].name, "Y");
  EXPECT_EQ((*store_.groups)[1].memberCount, 1u);  // case-variant member resolves
}

TEST_F(StoreFiles, SaveAfterDeleteLeavesDeletedMembersOut) {
  AddPerson("Ann");
  AddPerson("Bob");
  ASSERT_TRUE(ReserveRecordSlot(store_.groups));
  GroupRecord& team = (*store_.groups)[0];
  CopyToField(team.name, kTextFieldSize, "Team");
  team.members = MemberList{0, 1};
  team.memberCount = 2;
  store_.groups->used = 1;
  (*store_.persons)[1].deleted = 1;
  ASSERT_TRUE(SaveGroupFile(store_));
  EXPECT_EQ(Read(store_.groupPath), kTeam);
  EXPECT_EQ(team.memberCount, 2u);
}

TEST_F(StoreFiles, DamagedFilesLoadSafelyAndAreKept) {
  Bytes damaged = {5, 0, 0, 0, 'A', 'n', 'n', 0, 0, ';', ';', 0, 0, 'B', 'o'};
  Write(store_.personPath, damaged);
  LoadAddressStore(store_);
  ASSERT_TRUE(store_.persons);
  EXPECT_EQ(store_.persons->used, 1u);
  ASSERT_TRUE(SavePersonFile(store_));
  EXPECT_EQ(Read(store_.personPath + ".damaged"), damaged);
  EXPECT_EQ(Read(store_.personPath), kAnn);

  Bytes longText = {1, 0, 0, 0};
  longText.insert(longText.end(), 300, 'x');
  for (const char* field : {"", "mail", "", "memo"}) {
    longText.insert(longText.end(), field, field + std::strlen(field));  // the first "" ends the 300 x's
    longText.push_back(0);
  }
  Write(store_.personPath, longText);
  LoadAddressStore(store_);
  ASSERT_TRUE(store_.persons);
  EXPECT_EQ(std::strlen((*store_.persons)[0].description), kTextFieldSize - 1);
  EXPECT_STREQ((*store_.persons)[0].email, "mail");
  EXPECT_STREQ((*store_.persons)[0].memo, "memo");

  Write(store_.personPath, {});
  LoadAddressStore(store_);
  EXPECT_FALSE(store_.persons);
}

TEST_F(StoreFiles, FailedSaveKeepsTheOldFile) {
  AddPerson("Ann");
  ASSERT_TRUE(SavePersonFile(store_));
  AddPerson("Bob");
  std::string locked = dir_ + "/locked";
  mkdir(locked.c_str(), 0700);
  store_.personPath = locked + "/missing-dir/personal.inf";
  EXPECT_FALSE(SavePersonFile(store_));
  EXPECT_EQ(Read(dir_ + "/personal.inf"), kAnn);
}

TEST_F(StoreFiles, ReserveGrowsByTenAndKeepsSlots) {
  for (int i = 0; i < 11; ++i) AddPerson(("p" + std::to_string(i)).c_str());
  EXPECT_EQ(store_.persons->capacity, 20u);
  EXPECT_STREQ((*store_.persons)[3].description, "p3");
  store_.persons->capacity = store_.persons->used = kMaxSlots;
  EXPECT_FALSE(ReserveRecordSlot(store_.persons));
}

// The insertion build as the plain method describes it, for comparing orders.
std::vector<uint32_t> InsertionOrder(const std::vector<std::string>& keys, const CodePage& page = CodePage{}) {
  std::vector<uint32_t> out;
  for (uint32_t i = 0; i < keys.size(); ++i) {
    size_t pos = out.size();
    if (!keys[i].empty())
      for (size_t p = 0; p < out.size(); ++p)
        if (CompareNoCase(keys[i].c_str(), keys[out[p]].c_str(), page) <= 0) {
          pos = p;
          break;
        }
    out.insert(out.begin() + pos, i);
  }
  return out;
}

TEST(SortedIndexTest, OrderMatchesTheInsertionBuildOnRandomTables) {
  std::mt19937 random(7);
  const char alphabet[] = {'a', 'A', 'b', 'B', '_', 'z', (char)0xE9, '1'};
  for (int round = 0; round < 300; ++round) {
    AddressStore store;
    std::vector<std::string> emails;
    int n = random() % 40;
    for (int i = 0; i < n; ++i) {
      std::string key;
      int length = random() % 3;
      for (int c = 0; c < length; ++c) key += alphabet[random() % sizeof alphabet];
      emails.push_back(key);
      ASSERT_TRUE(ReserveRecordSlot(store.persons));
      CopyToField((*store.persons)[i].email, kEmailFieldSize, key);
      CopyToField((*store.persons)[i].description, kTextFieldSize, key);
      store.persons->used++;
    }
    BuildIndexes(store);
    std::vector<uint32_t> expected = InsertionOrder(emails);
    ASSERT_EQ(store.personMailIndex.count, n);
    std::vector<uint32_t> got(store.personMailIndex.entries.begin(), store.personMailIndex.entries.begin() + n);
    ASSERT_EQ(got, expected) << "round " << round;
    std::vector<uint32_t> names(store.personNameIndex.entries.begin(), store.personNameIndex.entries.begin() + n);
    ASSERT_EQ(names, expected) << "round " << round;
  }
}

TEST(SortedIndexTest, EmptyKeysStayWhereTheBuildLeavesThem) {
  AddressStore store;
  for (const char* mail : {"b", "", "a", "c"}) {
    ASSERT_TRUE(ReserveRecordSlot(store.persons));
    CopyToField((*store.persons)[store.persons->used].email, kEmailFieldSize, mail);
    store.persons->used++;
  }
  BuildIndexes(store);
  std::vector<uint32_t> got(store.personMailIndex.entries.begin(), store.personMailIndex.entries.begin() + 4);
  EXPECT_EQ(got, (std::vector<uint32_t>{2, 0, 1, 3}));
  EXPECT_FALSE(store.groupNameIndex.built);
}

TEST(CompareNoCaseTest, FoldsOnlyAsciiLetters) {
  const CodePage western = SingleByteCodePage(1252);
  EXPECT_EQ(CompareNoCase("word", "WORD", western), 0);
  EXPECT_LT(CompareNoCase("word", "words", western), 0);
  EXPECT_LT(CompareNoCase("_a", "a", western), 0);
  EXPECT_GT(CompareNoCase("Z", "a", western), 0);
  EXPECT_NE(CompareNoCase("\xc9", "\xe9", western), 0);
}

TEST(NameRulesTest, FirstFailingRuleOnly) {
  AddressStore store;
  ASSERT_TRUE(ReserveRecordSlot(store.persons));
  CopyToField((*store.persons)[0].description, kTextFieldSize, "Ann");
  store.persons->used = 1;
  auto check = [&](const char* d, const char* f, int slot) {
    return ValidatePersonInput(store, PersonInput{d, f, "", ""}, slot);
  };
  EXPECT_EQ(check("", "a;b", -1), kMsgEmptyDescription);
  EXPECT_EQ(check("a\"b", "a;b", -1), kMsgBadDescription);
  EXPECT_EQ(check("ANN", "", -1), kMsgDescriptionTaken);
  EXPECT_EQ(check("ANN", "", 0), kMsgNone);
  EXPECT_EQ(check(" ", "x;", -1), kMsgBadFirstName);
  (*store.persons)[0].deleted = 1;
  EXPECT_EQ(check("ANN", "", -1), kMsgNone);
  EXPECT_EQ(ValidateGroupInput(store, "", -1), kMsgEmptyGroupName);
  EXPECT_EQ(ValidateGroupInput(store, "a(b", -1), kMsgBadGroupName);
  EXPECT_TRUE(IsValidNameText("", store.codePage));
  EXPECT_FALSE(IsValidNameText("\x81\x5c", store.codePage));  // single-byte: the second byte is a backslash
}

}  // namespace
