#include <gtest/gtest.h>

#include "app/command_enabling.h"
#include "app/layout_geometry.h"

TEST(ShellLayout, RecipientBoxHeightFollowsTheSystemFont) {
  EXPECT_EQ(RecipientBoxHeight(18), 84);
  EXPECT_EQ(RecipientBoxHeight(15), 82);
  EXPECT_EQ(RecipientBoxHeight(16), 82);
  EXPECT_EQ(RecipientBoxHeight(0), 82);
  EXPECT_EQ(RecipientBoxHeight(20), 92);
}

TEST(ShellLayout, PanesStackFromTopToBottom) {
  PaneTextHeights text = {15, 18, 18};
  MainLayout with = ComputeMainLayout(536, 260, text, true);
  EXPECT_EQ(with.toolbar.height, 34);
  EXPECT_EQ(with.header.y, 34);
  EXPECT_EQ(with.header.height, 19);
  EXPECT_EQ(with.statusBar.y, 260 - 24);
  EXPECT_EQ(with.recipientBox.y, 236 - 84);
  EXPECT_EQ(with.entryList.y, 53);
  EXPECT_EQ(with.entryList.height, 152 - 53);
  EXPECT_EQ(with.entryList.width, 536);

  MainLayout without = ComputeMainLayout(536, 260, text, false);
  EXPECT_EQ(without.recipientBox.height, 0);
  EXPECT_EQ(without.entryList.y + without.entryList.height, without.statusBar.y);

  MainLayout squeezed = ComputeMainLayout(200, 40, text, true);
  EXPECT_EQ(squeezed.entryList.height, 0);
}

TEST(ShellLayout, RecipientBoxChildren) {
  RecipientBoxLayout box = ComputeRecipientBoxLayout(536, 84, 18);
  EXPECT_EQ(box.list.x, 82);
  EXPECT_EQ(box.list.y, 6);
  EXPECT_EQ(box.list.width, 536 - 88);
  EXPECT_EQ(box.list.height, 72);
  EXPECT_EQ(box.toButton.y, 6);
  EXPECT_EQ(box.deleteButton.y, 30);
  EXPECT_EQ(box.sendButton.y, 54);
  EXPECT_EQ(box.sendButton.width, 70);
  EXPECT_EQ(ComputeRecipientBoxLayout(536, 82, 12).list.y, 9);
  EXPECT_EQ(ComputeRecipientBoxLayout(536, 60, 18).list.y, -6);  // truncates toward zero
}

TEST(ShellLayout, ToolbarButtonsOverlapByOnePixel) {
  const int expected[] = {3, 34, 65, 96, 127};
  for (int i = 0; i < kToolbarButtonCount; ++i) {
    PaneBox b = ToolbarButtonBox(i);
    EXPECT_EQ(b.x, expected[i]);
    EXPECT_EQ(b.y, 1);
    EXPECT_EQ(b.width, 32);
    EXPECT_EQ(b.height, 32);
  }
}

TEST(ShellLayout, SearchBoxSitsRightOfFindAndShrinksToTheFreeWidth) {
  PaneBox box = SearchBoxBox(800, 15);
  EXPECT_EQ(box.x, 127 + 32 + 8);
  EXPECT_EQ(box.height, 21);
  EXPECT_EQ(box.y, (34 - 21) / 2);
  EXPECT_EQ(box.width, 180);
  EXPECT_EQ(SearchBoxBox(box.x + 100 + 8, 15).width, 100);
  EXPECT_EQ(SearchBoxBox(100, 15).width, 0);  // never over the buttons
}

TEST(ShellLayout, SnapRemainderKeepsTheDividendsSign) {
  EXPECT_EQ(SnapItemHeight(12), 16);
  EXPECT_EQ(SnapItemHeight(18), 18);
  EXPECT_EQ(FixedPaneHeight({15, 18, 18}, 84), 34 + 19 + 24 + 84);
  EXPECT_EQ(SnapRemainder(260, 77, 18), 183 % 18);
  EXPECT_EQ(SnapRemainder(77 + 36, 77, 18), 0);
  EXPECT_EQ(SnapRemainder(70, 77, 18), -7);
  EXPECT_EQ(SnapRemainder(0, 161, 16), -1);
  EXPECT_EQ(SnapRemainder(100, 50, 0), 0);
}

TEST(ShellEnabling, RowsFollowCountsAndState) {
  EnabledCommands empty = DecideEnabling({0, 0, false, false});
  EXPECT_TRUE(empty.newAddress);
  EXPECT_FALSE(empty.newGroup);
  EXPECT_FALSE(empty.find);
  EXPECT_FALSE(empty.remove);
  EXPECT_FALSE(empty.properties);
  EXPECT_FALSE(empty.to);

  EnabledCommands one = DecideEnabling({5, 1, true, true});
  EXPECT_TRUE(one.newGroup && one.find && one.remove && one.properties && one.to);

  EnabledCommands two = DecideEnabling({5, 2, true, false});
  EXPECT_FALSE(two.properties);
  EXPECT_TRUE(two.remove);
  EXPECT_FALSE(two.to);  // no recipient box in the plain mode

  EXPECT_FALSE(DecideEnabling({3, 0, false, true}).newGroup);  // only groups left alive
  EXPECT_FALSE(DecideEnabling({3, 0, true, true}).to);
  // Export needs a live person, whatever is selected.
  EXPECT_TRUE(DecideEnabling({3, 0, true, false}).exportVCard);
  EXPECT_FALSE(DecideEnabling({3, 1, false, false}).exportVCard);
}
