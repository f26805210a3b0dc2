#include <gtest/gtest.h>

#include <cstring>

#include "dialogs/name_parts.h"
#include "store/records.h"

namespace {

NameParts Split(const char* text) { return SplitNames(text, std::strlen(text) + 1); }

}  // namespace

TEST(SplitNames, TakesTheFirstTwoSemicolonsAsSeparators) {
  NameParts parts = Split("Ann;B.;Cole");
  EXPECT_EQ(parts.first, "Ann");
  EXPECT_EQ(parts.middle, "B.");
  EXPECT_EQ(parts.last, "Cole");

  parts = Split("Ann;;Cole");
  EXPECT_EQ(parts.first, "Ann");
  EXPECT_EQ(parts.middle, "");
  EXPECT_EQ(parts.last, "Cole");

  parts = Split("a;b;c;d;e");  // an imported middle name may have brought more
  EXPECT_EQ(parts.middle, "b");
  EXPECT_EQ(parts.last, "c;d;e");

  parts = Split(";;");
  EXPECT_EQ(parts.first + parts.middle + parts.last, "");
}

TEST(SplitNames, MissingSemicolonsLeaveTheLaterPartsEmpty) {
  NameParts parts = Split("Solo");
  EXPECT_EQ(parts.first, "Solo");
  EXPECT_EQ(parts.middle, "");
  EXPECT_EQ(parts.last, "");

  parts = Split("One;Two");
  EXPECT_EQ(parts.first, "One");
  EXPECT_EQ(parts.middle, "Two");
  EXPECT_EQ(parts.last, "");

  EXPECT_EQ(Split("").first, "");
}

TEST(SplitNames, NeverReadsPastTheField) {
  // A field filled to its last byte without a terminating zero (damaged data): the split stops
  // at the field's end; ASan would catch a read beyond the heap block.
  std::vector<char> field(kTextFieldSize, 'x');
  field[3] = ';';
  NameParts parts = SplitNames(field.data(), field.size());
  EXPECT_EQ(parts.first, "xxx");
  EXPECT_EQ(parts.middle.size(), kTextFieldSize - 4);
  EXPECT_EQ(parts.last, "");
  EXPECT_EQ(SplitNames(nullptr, 0).first, "");
}

TEST(JoinNames, JoinsWithTwoSemicolonsAndReportsWhatDidNotFit) {
  char field[kTextFieldSize];
  EXPECT_TRUE(JoinNames({"", "", ""}, field, sizeof field, CodePage{}));
  EXPECT_STREQ(field, ";;");
  EXPECT_TRUE(JoinNames({"Ann", "", "Cole"}, field, sizeof field, CodePage{}));
  EXPECT_STREQ(field, "Ann;;Cole");

  std::string part(86, 'a');  // 3 * 86 + 2 = 260 characters: one too many
  EXPECT_FALSE(JoinNames({part, part, part}, field, sizeof field, CodePage{}));
  EXPECT_EQ(std::strlen(field), kTextFieldSize - 1);
  EXPECT_TRUE(JoinNames({part, part, std::string(85, 'c')}, field, sizeof field, CodePage{}));
}

TEST(NamePartRoom, KeepsTheJoinedTextWithinTheField) {
  EXPECT_EQ(NamePartRoom(kTextFieldSize, 0, 0), 257u);
  EXPECT_EQ(NamePartRoom(kTextFieldSize, 100, 57), 100u);
  EXPECT_EQ(NamePartRoom(kTextFieldSize, 200, 57), 0u);
  EXPECT_EQ(NamePartRoom(kTextFieldSize, 300, 0), 0u);
  size_t room = NamePartRoom(kTextFieldSize, 40, 60);
  char field[kTextFieldSize];
  EXPECT_TRUE(JoinNames({std::string(room, 'f'), std::string(40, 'm'), std::string(60, 'l')}, field, sizeof field, CodePage{}));
}
