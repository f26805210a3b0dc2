#include <gtest/gtest.h>

#include <numeric>

#include "app/panes/selection_events.h"

namespace {

using Kind = SelectionEvents::Kind;
using Items = std::vector<uint32_t>;

Items Range(uint32_t first, uint32_t count) {
  Items items(count);
  std::iota(items.begin(), items.end(), first);
  return items;
}

TEST(SelectionEvents, OneItemSelectedAloneIsTheSelection) {
  // A click on another item, the first click, and a Ctrl+click that adds the only item.
  for (const auto& [before, after] : {std::pair<Items, Items>{{3}, {5}}, {{}, {5}}, {{1, 2, 3}, {5}}}) {
    SelectionEvents events = DecideSelectionEvents(before, after);
    EXPECT_EQ(events.kind, Kind::kSelection);
    EXPECT_EQ(events.added, Items{5});
  }
  // A plain click on an item of a larger selection, or a take of it: that item alone.
  SelectionEvents taken = DecideSelectionEvents(Range(0, 30), {10});
  EXPECT_EQ(taken.kind, Kind::kSelection);
  EXPECT_TRUE(taken.added.empty());
  EXPECT_EQ(DecideSelectionEvents({1, 2, 3}, {2}).kind, Kind::kSelection);
}

TEST(SelectionEvents, FewItemsAddedOrRemovedAreToldOneByOne) {
  SelectionEvents add = DecideSelectionEvents({3}, {3, 7});  // Ctrl+click
  EXPECT_EQ(add.kind, Kind::kAddRemove);
  EXPECT_EQ(add.added, Items{7});
  EXPECT_TRUE(add.removed.empty());
  SelectionEvents remove = DecideSelectionEvents({3, 7}, {3});  // Ctrl+click again: one stays, not newly
  EXPECT_EQ(remove.kind, Kind::kAddRemove);
  EXPECT_EQ(remove.removed, Items{7});
  SelectionEvents none = DecideSelectionEvents({3}, {});
  EXPECT_EQ(none.kind, Kind::kAddRemove);
  EXPECT_EQ(none.removed, Items{3});
  // Shift+click from 2 to 20 after 2 alone: 19 added and nothing removed, just within the limit.
  SelectionEvents range = DecideSelectionEvents({2}, Range(2, 20));
  EXPECT_EQ(range.kind, Kind::kAddRemove);
  EXPECT_EQ(range.added, Range(3, 19));
  // 10 in, 10 out: 20 changes.
  EXPECT_EQ(DecideSelectionEvents(Range(0, 10), Range(10, 10)).kind, Kind::kAddRemove);
}

TEST(SelectionEvents, MoreThanTwentyChangesAreOneChangeWithinTheList) {
  EXPECT_EQ(DecideSelectionEvents({}, Range(0, 21)).kind, Kind::kWithin);
  EXPECT_EQ(DecideSelectionEvents(Range(0, 11), Range(11, 10)).kind, Kind::kWithin);
  EXPECT_EQ(DecideSelectionEvents(Range(0, 65535), {}).kind, Kind::kWithin);
}

TEST(SelectionEvents, AnUnchangedSelectionTellsNothing) {
  EXPECT_EQ(DecideSelectionEvents({}, {}).kind, Kind::kNone);
  EXPECT_EQ(DecideSelectionEvents({4}, {4}).kind, Kind::kNone);  // a click on the selected item
  EXPECT_EQ(DecideSelectionEvents(Range(0, 50), Range(0, 50)).kind, Kind::kNone);
}

}  // namespace
