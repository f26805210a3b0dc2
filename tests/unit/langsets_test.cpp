#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/langsets/english_script.h"
#include "tools/langsets/language_table.h"
#include "tools/langsets/localize.h"
#include "tools/langsets/rc_text.h"

namespace {

const std::vector<std::string> kEnglish = {
    "#include <windows.h>",
    "#define LIST_STYLE (LBS_NOTIFY | WS_VSCROLL)",
    "MAINMENU_EG MENU",
    "BEGIN",
    "  POPUP \"&File\"",
    "  BEGIN",
    "    MENUITEM \"&New ...\\tCtrl+N\", 100",
    "    MENUITEM SEPARATOR",
    "    MENUITEM \"E&xit\", 110, GRAYED",
    "  END",
    "  POPUP \"&Help\"",
    "  BEGIN",
    "    MENUITEM \"&About ...\", 112",
    "  END",
    "END",
    "KALBOOKACC ACCELERATORS",
    "BEGIN",
    "  \"^N\", 100",
    "END",
    "118 BITMAP \"person.bmp\"",
    "STRINGTABLE",
    "BEGIN",
    "  101, \"Address Book\"",
    "  140, \"%s could not be saved.\\n\\n%s\"",
    "END",
    "FINDDLG_EG DIALOG 0, 0, 242, 66",
    "CAPTION \"Find\"",
    "FONT 8, \"MS Sans Serif\"",
    "BEGIN",
    "  ICON \"APPICON\", -1, 8, 7, 20, 20",
    "  LTEXT \"&Name\", -1, 39, 36, 30, 9",
    "  EDITTEXT 103, 72, 34, 141, 12, ES_AUTOHSCROLL",
    "  CONTROL \"\", 101, \"LISTBOX\", LIST_STYLE, 11, 22, 81, 106",
    "  DEFPUSHBUTTON \"&Find\", 1, 186, 6, 50, 14",
    "END",
};

LanguageTable GermanTable() {
  LanguageTable table;
  std::string error;
  EXPECT_TRUE(ParseLanguageTable(
      "language 1\n"
      "\"&File\" = \"&Datei\"\n\"&New ...\\tCtrl+N\" = \"&Neu ...\\tStrg+N\"\n\"E&xit\" = \"&Beenden\"\n"
      "\"&Help\" = \"&Hilfe\"\n\"&About ...\" = \"&Info ...\"\n\"Find\" = \"Suchen\"\n\"&Name\" = \"&Name\"\n"
      "\"&Find\" = \"&Suchen\"\n"
      "101 = \"Adressbuch\"\n140 = \"%s konnte nicht gespeichert werden.\\n\\n%s\"\n",
      "german.lang", table, error))
      << error;
  return table;
}

LocalizedSet Localize(const LanguageTable& table, const Widenings& widenings = {}) {
  return LocalizeSet(CollectLocalizedResources(kEnglish), table, widenings);
}

bool Holds(const std::string& script, const std::string& line) { return script.find(line + "\n") != std::string::npos; }

}  // namespace

TEST(LangsetsText, AccessKeysAndPlaceholders) {
  EXPECT_EQ(AccessKeys("Pr&operties ...\\tCtrl+O"), std::vector<char>{'O'});
  EXPECT_EQ(AccessKeys("Fish && &chips"), std::vector<char>{'C'});
  EXPECT_EQ(AccessKeys("&\xE4ndern"), std::vector<char>{'\xC4'});  // Windows-1252 a-umlaut
  EXPECT_TRUE(AccessKeys("vCard").empty());
  EXPECT_EQ(Placeholders("%s of %d (100%%) %5.2f"), (std::vector<std::string>{"%s", "%d", "%5.2f"}));
}

TEST(LangsetsText, ArgumentsSplitOutsideQuotes) {
  EXPECT_EQ(SplitArguments("  LTEXT \"a, b\", -1, 1, 2, 3, 4"),
            (std::vector<std::string>{"\"a, b\"", "-1", "1", "2", "3", "4"}));
  EXPECT_EQ(LeadingWord("    MENUITEM \"x\", 1"), "MENUITEM");
  std::string text;
  size_t end = 0;
  ASSERT_TRUE(ReadQuoted("\"say \"\"hi\"\" \\\"\" tail", 0, text, end));
  EXPECT_EQ(text, "say \"\"hi\"\" \\\"");
}

TEST(LangsetsMismatch, EachRuleReported) {
  EXPECT_TRUE(TranslationMismatches("%s was %d", "%s war %d").empty());
  EXPECT_EQ(TranslationMismatches("%s was %d", "%d war %s").size(), 1u);
  EXPECT_EQ(TranslationMismatches("&Delete", "Loeschen").size(), 1u);
  EXPECT_EQ(TranslationMismatches("E&xit\\tCtrl+Q", "&Beenden").size(), 1u);
  const std::string forbidden = "A name cannot contain:\\n  ; \\\\ / : * ? < > | ( ) ";
  EXPECT_TRUE(TranslationMismatches(forbidden, "Ein Name darf nicht:\\n  ; \\\\ / : * ? < > | ( ) ").empty());
  EXPECT_EQ(TranslationMismatches(forbidden, "Ein Name darf nicht:\\n  ; / : * ? < > | ( ) ").size(), 1u);
  EXPECT_TRUE(TranslationMismatches("Short", std::string(250, 'x') + "\\n\\n\\\\").empty());  // 253 characters
  EXPECT_EQ(TranslationMismatches("Short", std::string(256, 'x')).size(), 1u);
}

TEST(LangsetsScript, OnlyLocalizedResourcesAndDefinesAreCollected) {
  EnglishScript script = CollectLocalizedResources(kEnglish);
  ASSERT_EQ(script.resources.size(), 3u);
  EXPECT_EQ(script.resources[0].baseName, "MAINMENU");
  EXPECT_EQ(script.resources[1].kind, ResourceKind::Strings);
  EXPECT_EQ(script.resources[2].baseName, "FINDDLG");
  EXPECT_EQ(script.resources[2].lines.size(), 10u);
  EXPECT_EQ(script.defines, std::vector<std::string>{"#define LIST_STYLE (LBS_NOTIFY | WS_VSCROLL)"});
}

TEST(LangsetsLocalize, SameResourcesUnderSuffixAndOffset) {
  LocalizedSet set = Localize(GermanTable());
  EXPECT_TRUE(set.problems.empty()) << set.problems.front();
  EXPECT_TRUE(Holds(set.script, "MAINMENU_GR MENU"));
  EXPECT_TRUE(Holds(set.script, "    MENUITEM \"&Neu ...\\tStrg+N\", 100"));
  EXPECT_TRUE(Holds(set.script, "    MENUITEM \"&Beenden\", 110, GRAYED"));
  EXPECT_TRUE(Holds(set.script, "  301, \"Adressbuch\""));
  EXPECT_TRUE(Holds(set.script, "FINDDLG_GR DIALOG 0, 0, 242, 66"));
  EXPECT_TRUE(Holds(set.script, "  ICON \"APPICON\", -1, 8, 7, 20, 20"));
  EXPECT_TRUE(Holds(set.script, "  CONTROL \"\", 101, \"LISTBOX\", LIST_STYLE, 11, 22, 81, 106"));
  EXPECT_EQ(set.script.find("ACCELERATORS"), std::string::npos);
  EXPECT_EQ(set.script.find("BITMAP"), std::string::npos);
}

TEST(LangsetsLocalize, MissingTextKeepsEnglishAndIsReported) {
  LanguageTable table = GermanTable();
  table.texts.erase("&Help");
  table.strings.erase(140);
  LocalizedSet set = Localize(table);
  EXPECT_TRUE(Holds(set.script, "  POPUP \"&Help\""));
  EXPECT_TRUE(Holds(set.script, "  340, \"%s could not be saved.\\n\\n%s\""));
  ASSERT_EQ(set.problems.size(), 2u);
  EXPECT_NE(set.problems[0].find("&Help"), std::string::npos);
  EXPECT_NE(set.problems[1].find("string 140"), std::string::npos);
}

TEST(LangsetsLocalize, AccessKeysRepeatOnlyAcrossMenuLevels) {
  LanguageTable table = GermanTable();
  table.texts["&About ..."] = "&Hilfe-Info ...";  // H again, but one level down: allowed
  EXPECT_TRUE(Localize(table).problems.empty());
  table.texts["&Help"] = "&Datei-Hilfe";  // D twice on the menu bar
  LocalizedSet set = Localize(table);
  ASSERT_EQ(set.problems.size(), 1u);
  EXPECT_NE(set.problems[0].find("access key &D"), std::string::npos);
}

TEST(LangsetsLocalize, ScopedTextsAndWideningsApplyToTheirResource) {
  LanguageTable table = GermanTable();
  table.texts.erase("&Name");
  table.scoped["FINDDLG"]["&Name"] = "&Bezeichnung";
  table.widenings = {"find-name"};
  Widenings widenings;
  std::string error;
  ASSERT_TRUE(ParseWidenings("[find-name FINDDLG]\n\"&Name\" = 39, 36, 60, 9\nid 103 = 102, 34, 111, 12\n"
                             "dialog = 0, 0, 260, 66\n",
                             "widened.layout", widenings, error))
      << error;
  LocalizedSet set = Localize(table, widenings);
  EXPECT_TRUE(set.problems.empty()) << set.problems.front();
  EXPECT_TRUE(Holds(set.script, "FINDDLG_GR DIALOG 0, 0, 260, 66"));
  EXPECT_TRUE(Holds(set.script, "  LTEXT \"&Bezeichnung\", -1, 39, 36, 60, 9"));
  EXPECT_TRUE(Holds(set.script, "  EDITTEXT 103, 102, 34, 111, 12, ES_AUTOHSCROLL"));
}

TEST(LangsetsLocalize, UnusedEntriesAreReported) {
  LanguageTable table = GermanTable();
  table.texts["&Gone"] = "&Weg";
  table.strings[999] = "Nie";
  table.widenings = {"nowhere"};
  EXPECT_EQ(Localize(table).problems.size(), 3u);
}

TEST(LangsetsTable, MalformedLinesAreRefused) {
  LanguageTable table;
  std::string error;
  EXPECT_FALSE(ParseLanguageTable("language 1\n\"&File\" = \"&Datei\"\n\"&File\" = \"D&atei\"\n", "t", table, error));
  EXPECT_EQ(error, "t:3: \"&File\" twice");
  EXPECT_FALSE(ParseLanguageTable("language 1\n\"&File\" = &Datei\n", "t", table = {}, error));
  EXPECT_FALSE(ParseLanguageTable("\"&File\" = \"&Datei\"\n", "t", table = {}, error));
  EXPECT_NE(error.find("language"), std::string::npos);
  Widenings widenings;
  EXPECT_FALSE(ParseWidenings("\"&File\" = 1, 2, 3, 4\n", "w", widenings, error));
  EXPECT_FALSE(ParseWidenings("[a B]\n\"&File\" = 1, 2, 3\n", "w", widenings, error));
}
