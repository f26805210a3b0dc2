#include <gtest/gtest.h>

#include "print/page_range.h"

namespace {

TEST(PageRange, ARangeWithinThePrintoutIsPrintedAsAsked) {
  PageRange range = PagesToPrint(4, 2, 3);
  EXPECT_FALSE(range.Empty());
  EXPECT_EQ(range.from, 2);
  EXPECT_EQ(range.to, 3);
  PageRange all = PagesToPrint(4, 1, 0xFFFF);  // no range chosen: every page
  EXPECT_EQ(all.from, 1);
  EXPECT_EQ(all.to, 4);
}

TEST(PageRange, ARangeReachingPastTheLastPageStopsThere) {
  PageRange range = PagesToPrint(3, 3, 9);
  EXPECT_EQ(range.from, 3);
  EXPECT_EQ(range.to, 3);
  EXPECT_EQ(PagesToPrint(3, 0, 2).from, 1);
}

TEST(PageRange, ARangeBeginningAfterTheLastPageHoldsNoPage) {
  for (auto [from, to] : {std::pair{4, 4}, {5, 9}, {9, 5}}) {
    PageRange range = PagesToPrint(3, from, to);
    EXPECT_TRUE(range.Empty()) << from << "-" << to;
  }
  EXPECT_TRUE(PagesToPrint(0, 1, 1).Empty());
}

}  // namespace

#include "print/print_errors.h"

namespace {

TEST(PrintFailure, ACancelInTheDriversPromptIsSilentEveryOtherFailureIsTold) {
  EXPECT_FALSE(PrintFailureIsTold(kErrorCancelled));       // StartDoc after Cancel in "save the file as"
  EXPECT_FALSE(PrintFailureIsTold(kErrorPrintCancelled));  // the job deleted from the queue while printing
  for (uint32_t told : {0u, 5u /* access denied */, 31u /* device failure */, 1801u /* invalid printer name */,
                        1222u, 1224u})
    EXPECT_TRUE(PrintFailureIsTold(told)) << told;
}

}  // namespace
