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

// Shift_JIS texts: "a" 83 41, "so" 83 5C, "di" 83 61, "ya" 83 83, "ni" 83 6A, the long vowel 81 5B.
#define A_KANA "\x83\x41"
#define SO_KANA "\x83\x5C"
#define DI_KANA "\x83\x61"
#define YA_KANA "\x83\x83"
#define NI_LONG "\x83\x6A\x81\x5B"

TEST_F(FindBook, UnderShiftJisAMatchNeverBeginsOnATrailByte) {
  store.codePage = ShiftJisCodePage();
  Person(A_KANA " Tanaka", "tanaka@example.jp");
  Person(SO_KANA NI_LONG, "sony@example.jp");
  Person(YA_KANA "A");  // raw bytes 83 83 41: "a" (83 41) stands there from the second byte on
  EXPECT_EQ(Next("A"), 2);          // only the "A" of its own, not the trail byte of "a"
  EXPECT_EQ(Next("\\"), -1);         // the trail byte of "so" is no backslash
  EXPECT_EQ(Next("a"), 0);           // "Tanaka" still holds it
  EXPECT_EQ(Next(A_KANA), 0);        // whole characters are found ...
  EXPECT_EQ(Next(A_KANA), 0);        // ... and not inside "ya" + "A"
  EXPECT_EQ(Next(NI_LONG), 1);
  EXPECT_EQ(Next(SO_KANA), 1);
  EXPECT_EQ(Next(DI_KANA), -1);      // letter case counts: "a" and "di" differ only in 41 / 61
  EXPECT_EQ(Next("\\", FindMode::kEmail), -1);
  EXPECT_EQ(Next("sony", FindMode::kEmail), 1);
}

TEST_F(FindBook, UnderShiftJisAMatchEndsBetweenCharacters) {
  store.codePage = ShiftJisCodePage();
  Person("x" A_KANA);
  Group("x" SO_KANA " team");
  EXPECT_EQ(Next("x\x83"), -1);  // a lead byte alone would end inside "a" or "so"
  EXPECT_EQ(Next("x" SO_KANA), 1);
  EXPECT_EQ(Next(" team"), 1);
}

TEST_F(FindBook, UnderASingleByteCodePageEveryByteIsACharacter) {
  store.codePage = SingleByteCodePage(1252);
  Person(YA_KANA "A");  // in 1252 these are three characters
  Person(SO_KANA NI_LONG);
  EXPECT_EQ(Next("A"), 0);
  EXPECT_EQ(Next(A_KANA), 0);
  EXPECT_EQ(Next("\\"), 1);
  EXPECT_EQ(Next("x\x83"), -1);
  EXPECT_EQ(Next("\x5C\x83"), 1);
}
