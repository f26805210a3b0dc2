#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/code_page.h"
#include "store/text_fold.h"

namespace {

bool Holds(const TextFolding& folding, const std::string& text, const std::string& search) {
  return HoldsEveryWord(folding, folding.Folded(text), FoldedWords(folding, search));
}

}  // namespace

TEST(TextFolding, WesternFoldsCaseAccentsAndLigatures) {
  TextFolding western(SingleByteCodePage(1252));
  EXPECT_EQ(western.Folded("M\xDCLLER"), "muller");                   // MÜLLER
  EXPECT_EQ(western.Folded("\xE9\xE8\xEA\xEB\xC9"), "eeeee");           // é è ê ë É
  EXPECT_EQ(western.Folded("Stra\xDF" "e"), "strasse");                // Straße
  EXPECT_EQ(western.Folded("\xC6sop \x9C" "uvre \xD8stby"), "aesop oeuvre ostby");  // Æ œ Ø
  EXPECT_EQ(western.Folded("\x8A\x9E\x9F\xD1"), "szyn");                // Š ž Ÿ Ñ
  // Signs that are no letters stay what they are.
  EXPECT_EQ(western.Folded("\x80 \xA9 @ 1;"), "\x80 \xA9 @ 1;");
}

TEST(TextFolding, EachCodePageFoldsItsOwnLetters) {
  TextFolding central(SingleByteCodePage(1250));
  EXPECT_EQ(central.Folded("\xA3\xF3" "d\xBF"), "lodz");               // Łódż
  EXPECT_EQ(central.Folded("\xD0" "oko\x9A"), "dokos");               // Đokoš
  EXPECT_EQ(central.Folded("\xC8" "ERN\xDD"), "cerny");               // ČERNÝ
  TextFolding cyrillic(SingleByteCodePage(1251));
  EXPECT_EQ(cyrillic.Folded("\xA8\xCB\xCA\xC0"), "\xE5\xEB\xEA\xE0");  // ЁЛКА -> елка
  EXPECT_EQ(cyrillic.Folded("\xC9"), "\xE9");                           // Й is a letter of its own
  TextFolding greek(SingleByteCodePage(1253));
  EXPECT_EQ(greek.Folded("\xA2\xD1\xC7\xD3"), "\xE1\xF1\xE7\xF3");     // ΆΡΗΣ -> αρησ
  EXPECT_EQ(greek.Folded("\xDC\xF2"), "\xE1\xF3");                     // ά, final ς
  TextFolding turkish(SingleByteCodePage(1254));
  EXPECT_EQ(turkish.Folded("\xDD\xFD\xDE\xF0\xC7"), "iisgc");          // İ ı Ş ğ Ç
  TextFolding baltic(SingleByteCodePage(1257));
  EXPECT_EQ(baltic.Folded("\xD0\xE7\xFE\xAF\xA8"), "sezaeo");        // Š ē ž Æ Ø -> s e z ae o
  // The same byte means another letter in another page.
  EXPECT_NE(TextFolding(SingleByteCodePage(1252)).Folded("\xDE"), turkish.Folded("\xDE"));
}

TEST(TextFolding, OtherPagesFoldOnlyAsciiLetters) {
  TextFolding thai(SingleByteCodePage(874));
  EXPECT_EQ(thai.Folded("ABC\xC1\xE9"), "abc\xC1\xE9");
  TextFolding sjis(ShiftJisCodePage());
  // "A", katakana "mu" (83 80) and "A" with trail byte 41: the trail byte is never folded.
  EXPECT_EQ(sjis.Folded("A\x83\x80\x83\x41Z"), "a\x83\x80\x83\x41z");
  EXPECT_EQ(sjis.Folded("\xC9"), "\xC9");  // a single-byte katakana, not É
  // Half a character at the end stays as it is.
  EXPECT_EQ(sjis.Folded("AB\x83"), "ab\x83");
}

TEST(TextFolding, WordsMatchAnywhereInAnyOrder) {
  TextFolding western(SingleByteCodePage(1252));
  EXPECT_TRUE(Holds(western, "Ann Lee", "lee"));
  EXPECT_TRUE(Holds(western, "ashlee@x.org", "LEE"));
  EXPECT_TRUE(Holds(western, "Ann Lee", "lee ann"));
  EXPECT_TRUE(Holds(western, "Ann Lee", "  ann   lee "));
  EXPECT_FALSE(Holds(western, "Ann Lee", "ann bob"));
  EXPECT_TRUE(Holds(western, "M\xFCller", "muller"));
  EXPECT_TRUE(Holds(western, "Muller", "m\xFCl"));
  EXPECT_TRUE(Holds(western, "Gro\xDF", "gross"));
  EXPECT_TRUE(Holds(western, "", ""));     // no words: everything is shown
  EXPECT_TRUE(Holds(western, "", "   "));
  EXPECT_FALSE(Holds(western, "", "a"));
  EXPECT_TRUE(FoldedWords(western, " \t ").size() == 1);  // only spaces split
}

TEST(TextFolding, DoubleByteWordsNeverMatchHalfACharacter) {
  TextFolding sjis(ShiftJisCodePage());
  // Katakana "so" is 83 5C; "\" alone (5C) is its trail byte, not a character of the text.
  EXPECT_FALSE(Holds(sjis, "a\x83\x5C" "b", "\\"));
  EXPECT_FALSE(Holds(sjis, "a\x83\x5C" "b", "\\b"));
  EXPECT_TRUE(Holds(sjis, "a\x83\x5C" "b\\", "\\"));      // a real "\" later on
  EXPECT_TRUE(Holds(sjis, "a\x83\x5C" "b", "\x83\x5C" "B"));
  // "A" (41) as a trail byte of 83 41 is no "a"; a word ending in a lead byte finds nothing.
  EXPECT_FALSE(Holds(sjis, "\x83\x41", "a"));
  EXPECT_FALSE(Holds(sjis, "\x83\x41", "\x83"));
  // A word that starts on a trail byte: "\x41\x83" would straddle two characters.
  EXPECT_FALSE(Holds(sjis, "\x83\x41\x83\x42", "\x41\x83\x42"));
  EXPECT_TRUE(Holds(sjis, "\x83\x41\x83\x42", "\x83\x42"));
  // The full-width space (81 40) splits no words; only the space does.
  EXPECT_EQ(FoldedWords(sjis, "\x81\x40x y").size(), 2u);
}
