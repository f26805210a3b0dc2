#include <gtest/gtest.h>

#include <string>

#include "store/code_page.h"
#include "store/name_rules.h"

TEST(CodePage, CutsOnlyBetweenCharacters) {
  CodePage sjis = ShiftJisCodePage();
  std::string text = "a\x83\x5C" "b";  // "a", katakana "so" (trail byte 5C), "b"
  EXPECT_EQ(CutBetweenCharacters(sjis, text, 2), 1u);
  EXPECT_EQ(CutBetweenCharacters(sjis, text, 3), 3u);
  EXPECT_EQ(CutBetweenCharacters(sjis, text, 10), 4u);
  EXPECT_EQ(CutBetweenCharacters(SingleByteCodePage(1252), text, 2), 2u);
  // A lead byte at the very end has no trail byte: it counts as one byte of its own.
  EXPECT_EQ(CharLengthAt(sjis, "x\x83", 1), 1u);
  EXPECT_EQ(WholeCharactersLength(sjis, "ab\x83\x5C\x83"), 4u);  // the last lead byte lost its trail
  EXPECT_EQ(WholeCharactersLength(sjis, "ab\x83\x5C"), 4u);
  EXPECT_EQ(WholeCharactersLength(sjis, ""), 0u);
  EXPECT_EQ(WholeCharactersLength(SingleByteCodePage(1252), "ab\x83"), 3u);
  EXPECT_TRUE(sjis.IsDoubleByte());
  EXPECT_FALSE(SingleByteCodePage(1250).IsDoubleByte());
}

TEST(FitNameToRules, ReplacesEachForbiddenCharacterByItsLookAlike) {
  CodePage western = SingleByteCodePage(1252);
  std::string name = "Bo Berg (work) <a/b\\c|d:e;f*g?h\"i>";
  EXPECT_TRUE(FitNameToRules(name, western));
  EXPECT_EQ(name, "Bo Berg [work] [a-b-c-d-e,f_g_h'i]");
  EXPECT_TRUE(IsValidNameText(name.c_str(), western));
  std::string plain = "Ann Lee";
  EXPECT_FALSE(FitNameToRules(plain, western));
  EXPECT_EQ(plain, "Ann Lee");
}

TEST(FitNameToRules, KeepsTrailBytesOfDoubleByteCharacters) {
  std::string name = "\x83\x5C(x)";
  EXPECT_TRUE(FitNameToRules(name, ShiftJisCodePage()));
  EXPECT_EQ(name, "\x83\x5C[x]");
  std::string western = "\x83\x5C";
  EXPECT_TRUE(FitNameToRules(western, SingleByteCodePage(1252)));
  EXPECT_EQ(western, "\x83-");
}
