#include <gtest/gtest.h>

#include "dialogs/find_stepping.h"
#include "dialogs_test_store.h"

namespace {

struct FindBook : ::testing::Test {
  AddressStore store;
  std::vector<ItemRef> items;
  FindPositions positions;

  void Person(const std::string& description, const std::string& email = "") {
    items.push_back(MakeItemRef(AddTestPerson(store, description, email), kPersonItem));
  }
  void Group(const std::string& name) { items.push_back(MakeItemRef(AddTestGroup(store, name), kGroupItem)); }
  int32_t Next(const char* text, FindMode mode = FindMode::kDescription) {
    FindNextEntry(positions, items, store, mode, text);
    return positions.FindHitPosition;
  }
};

}  // namespace

TEST_F(FindBook, StepsThroughTheHitsAndWrapsToTheTop) {
  Person("Alpha match");
  Person("Bravo");
  Person("Charlie match");
  EXPECT_EQ(Next("match"), 0);
  EXPECT_EQ(positions.FindResumePosition, 1);
  EXPECT_EQ(Next("match"), 2);
  EXPECT_EQ(Next("match"), 0);
}

TEST_F(FindBook, TheOnlyHitAtTheEndIsFoundEveryTime) {
  Person("one");
  Person("two");
  Person("three");
  for (int press = 0; press < 3; ++press) EXPECT_EQ(Next("three"), 2);
}

TEST_F(FindBook, AMissResetsTheStartAndLetterCaseCounts) {
  Person("Alpha");
  positions.FindResumePosition = 1;
  EXPECT_EQ(Next("alpha"), -1);
  EXPECT_EQ(positions.FindResumePosition, 0);
  EXPECT_EQ(Next("Alp"), 0);
}

TEST_F(FindBook, AStartBeyondTheListWalksFromTheTop) {
  Person("Alpha");
  Person("Beta");
  positions.FindResumePosition = 7;  // the list shrank while the dialog was open
  EXPECT_EQ(Next("Beta"), 1);
  EXPECT_EQ(positions.FindResumePosition, 2);
}

TEST_F(FindBook, AnEmptyListFindsNothing) {
  positions.FindResumePosition = 3;
  EXPECT_EQ(Next("x"), -1);
  EXPECT_EQ(positions.FindResumePosition, 3);  // left alone: there was nothing to walk
}

TEST_F(FindBook, EmailModeLooksAtPersonsOnlyAndDescriptionModeAtNames) {
  Group("mail group");
  Person("Ann", "ann@mail.example");
  Group("Ann's group");
  EXPECT_EQ(Next("mail", FindMode::kEmail), 1);
  EXPECT_EQ(Next("mail", FindMode::kEmail), 1);
  positions = {};
  EXPECT_EQ(Next("mail"), 0);  // the group's name, in description mode
  EXPECT_EQ(Next("Ann"), 1);
  EXPECT_EQ(Next("Ann"), 2);
  EXPECT_EQ(Next("example"), -1);  // no other field is looked at
}

TEST_F(FindBook, ItemsTheTablesDoNotHoldNeverMatch) {
  Person("Ann");
  items.insert(items.begin(), MakeItemRef(40, kPersonItem));
  items.insert(items.begin(), MakeItemRef(3, kGroupItem));
  EXPECT_EQ(Next("Ann"), 2);
}
