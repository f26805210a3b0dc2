#include <gtest/gtest.h>

#include "store/records.h"

TEST(CopyToField, CutsToTheFieldAndTerminates) {
  char field[4] = {'x', 'x', 'x', 'x'};
  CopyToField(field, sizeof field, "abcdef");
  EXPECT_STREQ(field, "abc");
  CopyToField(field, sizeof field, "");
  EXPECT_STREQ(field, "");
}
