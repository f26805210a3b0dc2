#include <gtest/gtest.h>

#include "app/placement.h"

namespace {

const ScreenRect kXga = {0, 0, 1024, 768};
const WindowPlacement kNothingStored;

WindowPlacement At(int x, int y, int width, int height) { return {x, y, width, height}; }

}  // namespace

TEST(ShellPlacement, DefaultsCentreOnTheDesktop) {
  EXPECT_EQ(ResolvePlacement(kNothingStored, kXga), At(240, 224, 544, 320));
  EXPECT_EQ(ResolvePlacement(kNothingStored, {0, 0, 800, 600}), At(128, 140, 544, 320));
  EXPECT_EQ(ResolvePlacement(kNothingStored, {0, 0, 500, 300}), At(10, 50, 480, 200));
  EXPECT_EQ(ResolvePlacement(kNothingStored, {100, 50, 1124, 818}), At(340, 274, 544, 320));
}

TEST(ShellPlacement, UsableStoredValuesStayUnchanged) {
  EXPECT_EQ(ResolvePlacement(At(10, 20, 600, 400), kXga), At(10, 20, 600, 400));
  EXPECT_EQ(ResolvePlacement(At(-100000, 20, 600, 400), kXga), At(-100000, 20, 600, 400));
  EXPECT_EQ(ResolvePlacement(At(5000, 5000, 1023, 767), kXga), At(5000, 5000, 1023, 767));
}

TEST(ShellPlacement, AnyFailedTestReplacesAllFour) {
  WindowPlacement defaults = At(240, 224, 544, 320);
  EXPECT_EQ(ResolvePlacement(At(10, 20, 0, 400), kXga), defaults);
  EXPECT_EQ(ResolvePlacement(At(10, 20, 600, -1), kXga), defaults);
  EXPECT_EQ(ResolvePlacement(At(10, 20, 600, 768), kXga), defaults);
  EXPECT_EQ(ResolvePlacement(At(10, 20, 1024, 400), kXga), defaults);
  EXPECT_EQ(ResolvePlacement(At(kMissingSetting, 20, 600, 400), kXga), defaults);
  EXPECT_EQ(ResolvePlacement(At(10, kMissingSetting, 600, 400), kXga), defaults);
}
