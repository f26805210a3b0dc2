#include <gtest/gtest.h>

#include <algorithm>

#include "handoff/recipient_changes.h"

namespace {

constexpr ItemRef P(uint32_t slot) { return MakeItemRef(slot, kPersonItem); }
constexpr ItemRef G(uint32_t slot) { return MakeItemRef(slot, kGroupItem); }

TEST(RecipientChanges, AppendTakesNewEntriesOnceInSelectionOrder) {
  EXPECT_EQ(RecipientsToAppend({P(1), G(1)}, {P(3), P(1), G(1), P(2), P(3)}), (std::vector<ItemRef>{P(3), P(2)}));
  EXPECT_TRUE(RecipientsToAppend({P(1)}, {P(1)}).empty());
  EXPECT_EQ(RecipientsToAppend({}, {G(0), P(0)}), (std::vector<ItemRef>{G(0), P(0)}));
}

// Deleting entries one by one, each taking the first recipient still left that holds it.
std::vector<ItemRef> DropOneByOne(std::vector<ItemRef> recipients, const std::vector<ItemRef>& deleted) {
  for (ItemRef entry : deleted)
    for (auto it = recipients.begin(); it != recipients.end(); ++it)
      if (*it == entry) {
        recipients.erase(it);
        break;
      }
  return recipients;
}

std::vector<ItemRef> Without(const std::vector<ItemRef>& recipients, const std::vector<int>& positions) {
  std::vector<ItemRef> left;
  for (size_t i = 0; i < recipients.size(); ++i)
    if (std::find(positions.begin(), positions.end(), static_cast<int>(i)) == positions.end()) left.push_back(recipients[i]);
  return left;
}

TEST(RecipientChanges, DroppedPositionsGiveWhatSingleDeletesGive) {
  std::vector<ItemRef> recipients = {P(1), G(2), P(1), P(3), G(2), P(4)};
  std::vector<ItemRef> deleted = {P(4), G(2), P(1), P(9), P(1), P(1)};
  std::vector<int> dropped = RecipientPositionsToDrop(recipients, deleted);
  EXPECT_EQ(dropped, (std::vector<int>{0, 1, 2, 5}));
  EXPECT_EQ(Without(recipients, dropped), DropOneByOne(recipients, deleted));
  EXPECT_TRUE(RecipientPositionsToDrop({}, {P(1)}).empty());
  EXPECT_TRUE(RecipientPositionsToDrop({P(1)}, {}).empty());
}

}  // namespace
