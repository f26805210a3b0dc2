#include <gtest/gtest.h>

#include "app/column_widths.h"
#include "app/language.h"
#include "app/setting_values.h"

TEST(ShellSettingValues, ReadingRule) {
  EXPECT_EQ(ReadSettingValue(std::nullopt, 26), 26);
  EXPECT_EQ(ReadSettingValue("", -1), -1);
  EXPECT_EQ(ReadSettingValue("544", 0), 544);
  EXPECT_EQ(ReadSettingValue("-4", 0), -4);
  EXPECT_EQ(ReadSettingValue("12ab", 0), 12);
  EXPECT_EQ(ReadSettingValue("abc", 7), 0);
  EXPECT_EQ(ReadSettingValue("-", 7), 0);
  EXPECT_EQ(ReadSettingValue("-2147483648", 0), INT32_MIN);
  EXPECT_EQ(ReadSettingValue("4294967297", 0), 1);  // wraps like the platform's reader
}

TEST(ShellSettingValues, WrittenAsPlainSignedDecimal) {
  EXPECT_EQ(FormatSettingValue(544), "544");
  EXPECT_EQ(FormatSettingValue(-4), "-4");
  EXPECT_EQ(FormatSettingValue(0), "0");
  EXPECT_EQ(ReadSettingValue(FormatSettingValue(INT32_MIN), 0), INT32_MIN);
}

TEST(ShellLanguage, SuffixAndOffsetTables) {
  const char* suffixes[] = {"_EG", "_GR", "_FR", "_DU", "_IT", "_DE", "_SW", "_NO", "_SP"};
  for (int language = 0; language <= 8; ++language) {
    EXPECT_EQ(LanguageSuffix(language), suffixes[language]);
    EXPECT_EQ(StringTableOffset(language), 200 * language);
  }
  for (int other : {-1, 9, 1000, INT32_MIN}) {
    EXPECT_EQ(LanguageSuffix(other), "_EG");
    EXPECT_EQ(StringTableOffset(other), 0);
  }
  EXPECT_EQ(101 + StringTableOffset(3), 701);
}

TEST(ShellLanguage, ResourceNameIsCutToItsBuffer) {
  char name[kResourceNameSize];
  ComposeResourceName(name, "FINDDLG", 0);
  EXPECT_STREQ(name, "FINDDLG_EG");
  ComposeResourceName(name, "FINDDLG", 4);
  EXPECT_STREQ(name, "FINDDLG_IT");
  ComposeResourceName(name, std::string(40, 'A'), 0);
  EXPECT_EQ(std::string(name), std::string(31, 'A'));
  ComposeResourceName(name, std::string(29, 'B'), 0);
  EXPECT_EQ(std::string(name), std::string(29, 'B') + "_E");
}

TEST(ShellColumnWidths, BoundariesFromTheStoredWidths) {
  HeaderCells cells = CellsFromWidths(ColumnWidths{}, 0, 400);
  EXPECT_EQ(cells.b[1], 26);
  EXPECT_EQ(cells.b[3], 226);
  EXPECT_EQ(cells.b[4], 400);
  cells = CellsFromWidths({26, 100, 100, 50}, 0, 400);
  EXPECT_EQ(cells.b[4], 276);
  WidenLastColumn(cells, 400);
  EXPECT_EQ(cells.b[4], 400);
  WidenLastColumn(cells, 300);  // never moved in
  EXPECT_EQ(cells.b[4], 400);
}

TEST(ShellColumnWidths, WrittenWidthsAreRealEvenForTheDefault) {
  ColumnWidths written = WidthsFromCells(CellsFromWidths(ColumnWidths{}, 0, 500));
  EXPECT_EQ(written.attribute, 26);
  EXPECT_EQ(written.sender, 100);
  EXPECT_EQ(written.date, 100);
  EXPECT_EQ(written.subject, 274);
  HeaderCells dragged = {{0, 26, 126, 420, 400}};
  EXPECT_EQ(WidthsFromCells(dragged).subject, -20);
}
