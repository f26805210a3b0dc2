#include <gtest/gtest.h>

#include "print/print_entries.h"
#include "print/print_layout.h"
#include "dialogs_test_store.h"

namespace {

const CodePage kWestern = SingleByteCodePage(1252);

// Every byte is 10 units wide, bold ones 12.
int Width(std::string_view text, bool bold) { return static_cast<int>(text.size()) * (bold ? 12 : 10); }
int Plain(std::string_view text) { return Width(text, false); }

std::vector<std::string> Texts(const PrintPage& page) {
  std::vector<std::string> texts;
  for (const PlacedLine& line : page.lines) texts.push_back(line.text);
  return texts;
}

PrintBlock Block(std::initializer_list<const char*> lines) {
  PrintBlock block;
  bool first = true;
  for (const char* line : lines) {
    block.push_back({line, first});
    first = false;
  }
  return block;
}

TEST(WrapText, BreaksAtSpacesAndCutsWordsWiderThanALine) {
  EXPECT_EQ(WrapText("one two three", 80, kWestern, Plain), (std::vector<std::string>{"one two", "three"}));
  EXPECT_EQ(WrapText("  spaced   out  ", 200, kWestern, Plain), (std::vector<std::string>{"spaced out"}));
  EXPECT_EQ(WrapText("abcdefghij xy", 40, kWestern, Plain), (std::vector<std::string>{"abcd", "efgh", "ij", "xy"}));
  EXPECT_EQ(WrapText("", 40, kWestern, Plain), (std::vector<std::string>{""}));
  // Narrower than one character: one character a line, never stuck.
  EXPECT_EQ(WrapText("abc", 5, kWestern, Plain), (std::vector<std::string>{"a", "b", "c"}));
}

// A memo of Japanese text without blanks: each line ends after a whole character, also where
// the next one's trail byte is a backslash or a letter.
TEST(WrapText, CutsADoubleByteTextOnlyBetweenCharacters) {
  const CodePage sjis = ShiftJisCodePage();
  const std::string so = "\x83\x5C", a = "\x83\x41", ka = "\x83\x4A";  // katakana so, a, ka
  std::string memo = "x" + so + a + ka + so + "y" + a;
  // 3 bytes a line: "x" and one character fit, then one character a line (a second would be 4)
  EXPECT_EQ(WrapText(memo, 30, sjis, Plain), (std::vector<std::string>{"x" + so, a, ka, so + "y", a}));
  std::vector<std::string> narrow = WrapText(so + a, 10, sjis, Plain);  // narrower than one character
  EXPECT_EQ(narrow, (std::vector<std::string>{so, a}));
  // The same bytes under a single-byte page are single characters, cut anywhere.
  EXPECT_EQ(WrapText("x" + so, 20, kWestern, Plain), (std::vector<std::string>{"x\x83", "\x5C"}));
  PageGeometry page{30, 100, 10};
  std::vector<PrintPage> pages = LayOutPages({PrintBlock{{memo, false}}}, page, sjis, Width);
  ASSERT_EQ(pages.size(), 1u);
  for (const PlacedLine& line : pages[0].lines)
    EXPECT_EQ(CutBetweenCharacters(sjis, line.text, line.text.size()), line.text.size()) << line.text;
  EXPECT_EQ(Texts(pages[0]).size(), 5u);
}

TEST(LayOutPages, PlacesBlocksBelowTheHeaderWithABlankLineBetween) {
  // 10 lines a page: header, blank, then 8 body lines.
  PageGeometry page{200, 100, 10};
  std::vector<PrintPage> pages = LayOutPages({Block({"Ann", "ann@x"}), Block({"Bo"})}, page, kWestern, Width);
  ASSERT_EQ(pages.size(), 1u);
  const auto& lines = pages[0].lines;
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].text, "Ann");
  EXPECT_TRUE(lines[0].bold);
  EXPECT_EQ(lines[0].y, 20);
  EXPECT_FALSE(lines[1].bold);
  EXPECT_EQ(lines[1].y, 30);
  EXPECT_EQ(lines[2].text, "Bo");
  EXPECT_EQ(lines[2].y, 50);
}

TEST(LayOutPages, ABlockThatDoesNotFitMovesWholeToTheNextPage) {
  PageGeometry page{200, 100, 10};  // 8 body lines
  std::vector<PrintPage> pages =
      LayOutPages({Block({"A", "1", "2", "3", "4"}), Block({"B", "1", "2"}), Block({"C", "1"})}, page, kWestern, Width);
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(Texts(pages[0]), (std::vector<std::string>{"A", "1", "2", "3", "4"}));
  EXPECT_EQ(Texts(pages[1]), (std::vector<std::string>{"B", "1", "2", "C", "1"}));
  EXPECT_EQ(pages[1].lines[0].y, 20);
  EXPECT_EQ(pages[1].lines[3].y, 60);
}

TEST(LayOutPages, ABlockTallerThanAPageStartsOnANewPageAndContinues) {
  PageGeometry page{200, 60, 10};  // 4 body lines
  PrintBlock tall = Block({"T", "1", "2", "3", "4", "5"});
  std::vector<PrintPage> pages = LayOutPages({Block({"A"}), tall, Block({"B"})}, page, kWestern, Width);
  ASSERT_EQ(pages.size(), 3u);
  EXPECT_EQ(Texts(pages[0]), (std::vector<std::string>{"A"}));
  EXPECT_EQ(Texts(pages[1]), (std::vector<std::string>{"T", "1", "2", "3"}));
  EXPECT_EQ(Texts(pages[2]), (std::vector<std::string>{"4", "5", "B"}));
  EXPECT_EQ(pages[2].lines[2].y, 50);
}

TEST(LayOutPages, WrappedLinesCountTowardsTheBlockAndKeepTheirWeight) {
  PageGeometry page{60, 60, 10};  // 6 plain or 5 bold characters a line, 4 body lines
  std::vector<PrintPage> pages = LayOutPages({Block({"Bold Title", "a b c d e f g h"})}, page, kWestern, Width);
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(Texts(pages[0]), (std::vector<std::string>{"Bold", "Title", "a b c", "d e f"}));
  EXPECT_TRUE(pages[0].lines[1].bold);
  EXPECT_FALSE(pages[0].lines[2].bold);
  EXPECT_EQ(Texts(pages[1]), (std::vector<std::string>{"g h"}));
  EXPECT_TRUE(LayOutPages({}, page, kWestern, Width).empty());
  // A page lower than the header still takes one line a page.
  EXPECT_EQ(LayOutPages({Block({"A", "B"})}, PageGeometry{60, 5, 10}, kWestern, Width).size(), 2u);
}

TEST(PageNumberText, PutsTheNumberInPlaceOfTheFirstConversionOnly) {
  EXPECT_EQ(PageNumberText("Page %d", 12), "Page 12");
  EXPECT_EQ(PageNumberText("%d. Seite %s %d", 3), "3. Seite %s %d");
  EXPECT_EQ(PageNumberText("Page", 3), "Page");
}

TEST(EntryBlocks, PersonsAndGroupsInTheOrderGivenWithoutEmptyOrDeletedParts) {
  AddressStore store;
  uint32_t ann = AddTestPerson(store, "Ann", "ann@x");
  CopyToField((*store.persons)[ann].names, kTextFieldSize, "Ann;;Lee");
  CopyToField((*store.persons)[ann].memo, kTextFieldSize, "met at work");
  uint32_t bo = AddTestPerson(store, "Bo");
  uint32_t gone = AddTestPerson(store, "Gone", "", 1);
  uint32_t cy = AddTestPerson(store, "Cy");
  uint32_t team = AddTestGroup(store, "Team", {cy, gone, ann});
  CopyToField((*store.groups)[team].memo, kTextFieldSize, "weekly");
  uint32_t empty = AddTestGroup(store, "Empty");
  std::vector<PrintBlock> blocks = EntryBlocks(
      store,
      {MakeItemRef(team, kGroupItem), MakeItemRef(bo, kPersonItem), MakeItemRef(gone, kPersonItem),
       MakeItemRef(ann, kPersonItem), MakeItemRef(empty, kGroupItem), MakeItemRef(9, kPersonItem)},
      "group");
  ASSERT_EQ(blocks.size(), 4u);
  auto texts = [](const PrintBlock& block) {
    std::vector<std::string> out;
    for (const auto& line : block) out.push_back(line.text);
    return out;
  };
  EXPECT_EQ(texts(blocks[0]), (std::vector<std::string>{"Team (group)", "weekly", "Cy, Ann"}));
  EXPECT_TRUE(blocks[0][0].bold);
  EXPECT_FALSE(blocks[0][2].bold);
  EXPECT_EQ(texts(blocks[1]), (std::vector<std::string>{"Bo"}));
  EXPECT_EQ(texts(blocks[2]), (std::vector<std::string>{"Ann", "ann@x", "Ann", "Lee", "met at work"}));
  EXPECT_EQ(texts(blocks[3]), (std::vector<std::string>{"Empty (group)"}));
}

}  // namespace
