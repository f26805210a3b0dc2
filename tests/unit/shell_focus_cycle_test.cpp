#include <gtest/gtest.h>

#include "app/focus_cycle.h"

// Members: entry list, ">>To", "<<Delete", send button, recipient list.
TEST(FocusCycleTest, StepsOverMembersThatCannotTakeTheFocusAndWraps) {
  std::vector<bool> start = {true, false, false, false, true};  // nothing selected, no recipients
  EXPECT_EQ(NextInFocusCycle(start, 0, false), 4);
  EXPECT_EQ(NextInFocusCycle(start, 4, false), 0);
  EXPECT_EQ(NextInFocusCycle(start, 0, true), 4);
  std::vector<bool> all(5, true);
  EXPECT_EQ(NextInFocusCycle(all, 1, false), 2);
  EXPECT_EQ(NextInFocusCycle(all, 1, true), 0);
  EXPECT_EQ(NextInFocusCycle(all, 0, true), 4);
}

TEST(FocusCycleTest, OutsideTheCycleStartsAtAnEndAndAnEmptyCycleHasNone) {
  std::vector<bool> all(5, true);
  EXPECT_EQ(NextInFocusCycle(all, -1, false), 0);
  EXPECT_EQ(NextInFocusCycle(all, -1, true), 4);
  EXPECT_EQ(NextInFocusCycle({true}, 0, false), 0);  // alone: stays
  EXPECT_EQ(NextInFocusCycle({false, false}, 0, false), -1);
  EXPECT_EQ(NextInFocusCycle({}, 0, false), -1);
}
