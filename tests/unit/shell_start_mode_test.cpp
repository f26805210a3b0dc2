#include <gtest/gtest.h>

#include "app/start_mode.h"

TEST(ShellStartMode, OptionsAfterAnUnquotedProgramName) {
  EXPECT_EQ(StartModeFromCommandLine("kalbook.exe /o"), 2);
  EXPECT_EQ(StartModeFromCommandLine("kalbook.exe /p"), 1);
  EXPECT_EQ(StartModeFromCommandLine("kalbook.exe     /o"), 2);
  EXPECT_EQ(StartModeFromCommandLine("kalbook.exe \t\x01 /p"), 1);
  EXPECT_EQ(StartModeFromCommandLine("kalbook.exe"), 0);
  EXPECT_EQ(StartModeFromCommandLine(""), 0);
}

TEST(ShellStartMode, QuotedProgramNameMayHoldBlanks) {
  EXPECT_EQ(StartModeFromCommandLine("\"C:\\Program Files\\kal book\\kalbook.exe\" /o"), 2);
  EXPECT_EQ(StartModeFromCommandLine("\"C:\\a b\\kalbook.exe\"/p"), 1);
  EXPECT_EQ(StartModeFromCommandLine("\"C:\\a b /o"), 0);  // no closing quote: all of it is the name
}

TEST(ShellStartMode, AnythingButTheExactOptionIsThePlainMode) {
  EXPECT_EQ(StartModeFromCommandLine("kalbook.exe /O"), 0);
  EXPECT_EQ(StartModeFromCommandLine("kalbook.exe /P"), 0);
  EXPECT_EQ(StartModeFromCommandLine("kalbook.exe /o "), 0);
  EXPECT_EQ(StartModeFromCommandLine("kalbook.exe /p x"), 0);
  EXPECT_EQ(StartModeFromCommandLine("kalbook.exe -o"), 0);
  EXPECT_EQ(StartModeFromCommandLine("kalbook.exe /op"), 0);
}

TEST(ShellStartMode, ArgumentsKeepWhatFollowsTheSkippedBlanks) {
  EXPECT_EQ(CommandLineArguments("prog   /o x "), "/o x ");
  EXPECT_EQ(CommandLineArguments("\"p q\"  /p"), "/p");
  EXPECT_EQ(CommandLineArguments("prog"), "");
}
