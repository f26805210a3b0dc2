#include <gtest/gtest.h>

#include <cstring>

#include "store/records.h"

namespace {

bool AllZero(const PersonRecord& record) {
  static const PersonRecord zero{};
  return std::memcmp(&record, &zero, sizeof record) == 0;
}

TEST(SlotArrayTest, GrowingAcrossChunksKeepsRecordsInPlaceAndZeroFillsNewOnes) {
  SlotArray<PersonRecord> slots;
  slots.resize(SlotArray<PersonRecord>::kChunk - 1);
  CopyToField(slots[5].description, kTextFieldSize, "five");
  const PersonRecord* before = &slots[5];
  slots.resize(3 * SlotArray<PersonRecord>::kChunk + 7);
  EXPECT_EQ(&slots[5], before);  // records never move when the table grows
  EXPECT_STREQ(slots[5].description, "five");
  for (size_t slot : {size_t{0}, SlotArray<PersonRecord>::kChunk, slots.size() - 1}) EXPECT_TRUE(AllZero(slots[slot]));
}

TEST(SlotArrayTest, CopiesAreDeepAndShrinkingClearsTheCutRecords) {
  SlotArray<GroupRecord> groups;
  groups.resize(200);
  groups[150].members = MemberList{1, 2};
  SlotArray<GroupRecord> copy = groups;
  copy[150].members->push_back(3);
  EXPECT_EQ(groups[150].members->size(), 2u);
  groups.resize(100);
  groups.resize(200);
  EXPECT_FALSE(groups[150].members.has_value());
}

}  // namespace
