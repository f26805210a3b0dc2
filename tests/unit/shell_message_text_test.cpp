#include <gtest/gtest.h>

#include "app/message_text.h"

namespace {

TEST(MessageTextTest, ValuesGoIntoThePlacesInOrderAndOtherPercentsStay) {
  EXPECT_EQ(FillPlaceholders("%s could not be saved.\n\n%s", {"C:\\book\\personal.inf", "Access denied."}),
            "C:\\book\\personal.inf could not be saved.\n\nAccess denied.");
  EXPECT_EQ(FillPlaceholders("100% %d %n %", {"x"}), "100% %d %n %");
  EXPECT_EQ(FillPlaceholders("%s and %s", {"one"}), "one and ");
  EXPECT_EQ(FillPlaceholders("%s", {"%s%n"}), "%s%n");  // a value is never read as a pattern
  EXPECT_EQ(FillPlaceholders("", {"x"}), "");
}

}  // namespace
