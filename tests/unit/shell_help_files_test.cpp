#include <gtest/gtest.h>

#include <string>

#include "app/help_files.h"

TEST(HelpFiles, FolderKeepsTheLastBackslash) {
  EXPECT_EQ(ExecutableFolder("C:\\Program Files\\Book\\kalbook.exe"), "C:\\Program Files\\Book\\");
  EXPECT_EQ(ExecutableFolder("C:\\kalbook.exe"), "C:\\");
  EXPECT_EQ(ExecutableFolder("kalbook.exe"), "kalbook.exe");  // no backslash: stays whole
  EXPECT_EQ(ExecutableFolder(""), "");
}

TEST(HelpFiles, TargetNamesFileAndWindowType) {
  EXPECT_EQ(HelpTarget("C:\\Book\\", kHtmlHelpFile), "C:\\Book\\qlon.chm>qlonhlp");
  EXPECT_EQ(HelpTarget("C:\\Book\\", kWinHelpFile), "C:\\Book\\qlon.hlp>qlonhlp");
  EXPECT_EQ(HelpTarget("", kHtmlHelpFile), "qlon.chm>qlonhlp");
  EXPECT_EQ(HelpFileOf("C:\\Book\\qlon.chm>qlonhlp"), "C:\\Book\\qlon.chm");
  EXPECT_EQ(HelpFileOf("qlon.hlp"), "qlon.hlp");
  EXPECT_TRUE(IsWinHelpTarget("C:\\Book\\qlon.hlp>qlonhlp"));
  EXPECT_FALSE(IsWinHelpTarget("C:\\Book\\qlon.chm>qlonhlp"));
  EXPECT_FALSE(IsWinHelpTarget("hlp>qlonhlp"));
}

TEST(HelpFiles, TargetFitsTheHelpPathOrDropsTheFolder) {
  std::string suffixed = std::string(kHtmlHelpFile) + ">qlonhlp";
  std::string fits(kHelpPathSize - 1 - suffixed.size(), 'a');
  fits.back() = '\\';
  EXPECT_EQ(HelpTarget(fits, kHtmlHelpFile).size(), kHelpPathSize - 1);
  std::string tooLong = "x" + fits;
  EXPECT_EQ(HelpTarget(tooLong, kHtmlHelpFile), suffixed);
}

TEST(HelpFiles, MessageTakesThePathAtItsMarker) {
  EXPECT_EQ(TextWithPath("The file\n%s\nis missing.", "C:\\b\\qlon.chm"), "The file\nC:\\b\\qlon.chm\nis missing.");
  EXPECT_EQ(TextWithPath("No marker", "C:\\x"), "No marker");
  EXPECT_EQ(TextWithPath("100% sure: %s", "%s%d"), "100% sure: %s%d");  // only the first marker, path kept raw
}
