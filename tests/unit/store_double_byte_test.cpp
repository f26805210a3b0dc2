// Japanese text (Shift_JIS, code page 932) in the store, the name rules, the import's cuts and
// type-ahead: a trail byte belongs to its character, whatever ASCII byte it equals.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/panes/type_ahead.h"
#include "dialogs/entry_records.h"
#include "dialogs/name_parts.h"
#include "dialogs_test_store.h"
#include "import/import_merge.h"
#include "import/import_readers.h"
#include "store/folded_key.h"
#include "store/indexes.h"
#include "store/name_rules.h"
#include "store_test_folder.h"

namespace {

namespace fs = std::filesystem;

// Katakana: "so" ends in a backslash byte, "a" and "di" differ only in a trail byte that is
// "A" or "a"; "ka" ends in "J".
const std::string kSo = "\x83\x5C", kA = "\x83\x41", kDi = "\x83\x61", kKa = "\x83\x4A";

AddressStore JapaneseStore() {
  AddressStore store;
  store.codePage = ShiftJisCodePage();
  return store;
}

TEST(DoubleByteCompare, TrailBytesNeverFoldButSingleByteLettersStill) {
  const CodePage sjis = ShiftJisCodePage();
  EXPECT_NE(CompareNoCase(kA.c_str(), kDi.c_str(), sjis), 0);
  EXPECT_LT(CompareNoCase(kA.c_str(), kDi.c_str(), sjis), 0);  // 41 below 61, as bytes
  EXPECT_EQ(CompareNoCase(("Sato " + kA + "B").c_str(), ("SATO " + kA + "b").c_str(), sjis), 0);
  EXPECT_NE(CompareNoCase(("x" + kA).c_str(), ("X" + kDi).c_str(), sjis), 0);
  EXPECT_LT(CompareNoCase(kA.c_str(), (kA + kA).c_str(), sjis), 0);
  // A trail byte "A" compares as 41 against "_" 5F, where a letter would be folded to 61.
  EXPECT_LT(CompareNoCase(kA.c_str(), "\x83_", sjis), 0);
  EXPECT_GT(CompareNoCase("A", "_", sjis), 0);
  // A single-byte page is as before: the same bytes are one text in two letter cases.
  EXPECT_EQ(CompareNoCase(kA.c_str(), kDi.c_str(), SingleByteCodePage(1252)), 0);
}

TEST(DoubleByteCompare, FoldedKeysKeepTrailBytes) {
  std::string folded;
  AppendFolded(folded, "AB" + kA + "C", ShiftJisCodePage());
  EXPECT_EQ(folded, "ab" + kA + "c");
  folded.clear();
  AppendFolded(folded, "AB" + kA + "C", SingleByteCodePage(1252));
  EXPECT_EQ(folded, "ab\x83" "ac");
}

TEST(DoubleByteLookups, TwoCharactersDifferingInATrailByteAreTwoPersons) {
  AddressStore store = JapaneseStore();
  uint32_t a = AddTestPerson(store, kA + " Tanaka");
  AddTestGroup(store, kA + " club");
  EXPECT_EQ(FindPersonByDescription(store, (kDi + " Tanaka").c_str()), -1);
  EXPECT_EQ(FindPersonByDescription(store, (kA + " TANAKA").c_str()), static_cast<int>(a));
  EXPECT_EQ(FindGroupByName(store, (kDi + " club").c_str()), -1);
  EXPECT_EQ(FindGroupByName(store, (kA + " CLUB").c_str()), 0);
  PersonLookup lookup(store);
  EXPECT_EQ(lookup.Find((kDi + " Tanaka").c_str()), -1);
  EXPECT_EQ(lookup.Find((kA + " tanaka").c_str()), static_cast<int>(a));

  store.codePage = SingleByteCodePage(1252);
  EXPECT_EQ(FindPersonByDescription(store, (kDi + " Tanaka").c_str()), static_cast<int>(a));
}

TEST(DoubleByteLookups, IndexesSortTrailBytesAsTheyAre) {
  AddressStore store = JapaneseStore();
  const std::vector<std::string> keys = {kDi, "b", kA, "_x", kA + "a", "B", "\x83_"};
  for (const std::string& key : keys) AddTestPerson(store, key);
  BuildIndexes(store);
  ASSERT_TRUE(store.personNameIndex.built);
  std::vector<uint32_t> got(store.personNameIndex.entries.begin(),
                            store.personNameIndex.entries.begin() + store.personNameIndex.count);
  // "_x", "b" and "B" (equal, the later first), then 83 41, 83 41 "a", 83 5F, 83 61
  EXPECT_EQ(got, (std::vector<uint32_t>{3, 5, 1, 2, 4, 6, 0}));
}

TEST(DoubleByteNameRules, ATrailBackslashIsPartOfItsCharacter) {
  const CodePage sjis = ShiftJisCodePage();
  EXPECT_TRUE(IsValidNameText((kSo + "ny").c_str(), sjis));
  EXPECT_TRUE(IsValidNameText((kA + kSo + kKa).c_str(), sjis));
  EXPECT_FALSE(IsValidNameText((kSo + "\\").c_str(), sjis));      // a backslash of its own
  EXPECT_FALSE(IsValidNameText((kSo + "a(b").c_str(), sjis));
  EXPECT_TRUE(IsValidNameText("\x83", sjis));    // a lead byte at the end stands alone
  EXPECT_FALSE(IsValidNameText("\x83;", sjis));  // no trail byte is that low: ";" stands alone
  std::string fitted = "\x83;" + kSo + "|";
  EXPECT_TRUE(FitNameToRules(fitted, sjis));
  EXPECT_EQ(fitted, "\x83," + kSo + "-");
  EXPECT_FALSE(IsValidNameText(kSo.c_str(), SingleByteCodePage(1252)));
  EXPECT_TRUE(IsValidNameText("", sjis));
}

TEST(DoubleByteNameRules, ThePersonAndGroupChecksTakeJapaneseNames) {
  AddressStore store = JapaneseStore();
  AddTestPerson(store, kA + kSo);
  AddTestGroup(store, kSo + " club");
  EXPECT_EQ(ValidatePersonInput(store, PersonInput{(kDi + kSo).c_str(), kSo.c_str(), kSo.c_str(), kSo.c_str()}, -1),
            kMsgNone);
  EXPECT_EQ(ValidatePersonInput(store, PersonInput{(kA + kSo).c_str(), "", "", ""}, -1), kMsgDescriptionTaken);
  EXPECT_EQ(ValidatePersonInput(store, PersonInput{(kA + kSo).c_str(), "", "", ""}, 0), kMsgNone);
  EXPECT_EQ(ValidatePersonInput(store, PersonInput{kKa.c_str(), "", (kSo + "/").c_str(), ""}, -1), kMsgBadMiddleName);
  EXPECT_EQ(ValidateGroupInput(store, (kDi + kSo).c_str(), -1), kMsgNone);
  EXPECT_EQ(ValidateGroupInput(store, (kSo + " CLUB").c_str(), -1), kMsgGroupNameTaken);

  store.codePage = SingleByteCodePage(1252);  // as before: byte by byte
  EXPECT_EQ(ValidatePersonInput(store, PersonInput{(kDi + kSo).c_str(), "", "", ""}, -1), kMsgBadDescription);
  EXPECT_EQ(ValidateGroupInput(store, kSo.c_str(), -1), kMsgBadGroupName);
}

// What the dialogs store is cut to its field before a lead byte whose trail would not fit.
TEST(DoubleByteFields, TheDialogsStoreWholeCharactersOnly) {
  AddressStore store = JapaneseStore();
  PersonFields fields;
  fields.description = kSo;
  fields.memo = std::string(258, 'm') + kKa;  // the trail byte would be the 261st byte
  fields.names = {std::string(256, 'f'), "", kKa};
  int slot = AddPerson(store, fields);
  ASSERT_EQ(slot, 0);
  const PersonRecord& person = (*store.persons)[0];
  EXPECT_EQ(std::string(person.memo), std::string(258, 'm'));
  EXPECT_EQ(std::string(person.names), std::string(256, 'f') + ";;");
  char field[kTextFieldSize];
  EXPECT_FALSE(JoinNames(fields.names, field, sizeof field, store.codePage));
  EXPECT_TRUE(JoinNames({kKa, kSo, kA}, field, sizeof field, store.codePage));
  EXPECT_EQ(std::string(field), kKa + ";" + kSo + ";" + kA);
  CopyToField(field, sizeof field, std::string(258, 'm') + kKa, SingleByteCodePage(1252));
  EXPECT_EQ(std::strlen(field), 259u);  // a single-byte page cuts at the field as before
}

class DoubleByteImportTest : public BookFolderTest {
 protected:
  void SetUp() override {
    BookFolderTest::SetUp();
    store_.codePage = ShiftJisCodePage();
  }

  ImportOutcome ImportEudora(const std::string& text) {
    eudoraText = text;
    std::optional<ImportBatch> batch = ReadEudoraNicknames(eudoraText);
    EXPECT_TRUE(batch.has_value());
    return AppendImportedPersons(store, *batch, store.codePage);
  }

  AddressStore& store = store_;
  std::string eudoraText;
};

TEST_F(DoubleByteImportTest, NamesDifferingInATrailByteAreBothTaken) {
  AddTestPerson(store, kA);
  ImportOutcome outcome = ImportEudora("alias " + kDi + " di@example.jp\r\nalias " + kA + " a@example.jp\r\n");
  ASSERT_EQ(outcome.persons, (std::vector<uint32_t>{1}));
  EXPECT_EQ(std::string((*store.persons)[1].description), kDi);
  EXPECT_EQ(outcome.report.alreadyInBook, 1u);
}

// 257 single bytes and then a character: its trail byte would be the 259th, so the cut leaves
// the whole character out rather than keep its lead byte.
TEST_F(DoubleByteImportTest, TheCutTo258BytesFallsBetweenCharacters) {
  std::string longName = std::string(257, 'd') + kKa + "e";
  ImportOutcome outcome = ImportEudora("alias " + longName + " x@example.jp\r\n");
  ASSERT_EQ(outcome.persons.size(), 1u);
  EXPECT_EQ(std::string((*store.persons)[0].description), std::string(257, 'd'));
  EXPECT_EQ(outcome.report.cut, 1u);
  std::string evenName = std::string(256, 'd') + kKa + "e";  // the character ends at byte 258
  store = JapaneseStore();
  store.personPath = dir_ + "/personal.inf";
  store.groupPath = dir_ + "/group.inf";
  ImportEudora("alias " + evenName + " y@example.jp\r\n");
  EXPECT_EQ(std::string((*store.persons)[0].description), std::string(256, 'd') + kKa);
}

TEST(DoubleByteTypeAhead, FindsTheWholeCharacterOnlyOnceItsTrailByteCame) {
  const CodePage sjis = ShiftJisCodePage();
  const std::vector<std::string> book = {kA + "1", kDi + "2", "a3", kA + "4"};
  auto find = [&](int caret, bool stay, std::string_view prefix, const CodePage& page) {
    return FindTypeAheadTarget(static_cast<int>(book.size()), caret, stay, prefix, page,
                               [&](int i) { return std::string_view(book[static_cast<size_t>(i)]); });
  };
  EXPECT_EQ(find(0, false, kDi, sjis), 1);
  EXPECT_EQ(find(1, false, kA, sjis), 3);
  EXPECT_EQ(find(1, false, "A", sjis), 2);  // a letter finds no trail byte
  EXPECT_FALSE(BeginsWithNoCase(kA + "1", kDi, sjis));
  EXPECT_TRUE(BeginsWithNoCase("Sato" + kA, "sATO" + kA, sjis));
  EXPECT_TRUE(BeginsWithNoCase(kA + "1", kDi, SingleByteCodePage(1252)));  // as before

  TypeAheadText typed{sjis};
  typed.Type(kDi[0], 100);
  EXPECT_FALSE(typed.EndsWithWholeCharacter());
  typed.Type(kDi[1], 3000);  // however late, the trail byte completes its character
  EXPECT_TRUE(typed.EndsWithWholeCharacter());
  EXPECT_EQ(typed.SearchText(), kDi);
  // The same character again steps through the entries beginning with it, as a letter does.
  TypeAheadText again{sjis};
  for (char c : kA + kA) again.Type(c, 200);
  EXPECT_EQ(again.SearchText(), kA);
  EXPECT_FALSE(again.MayStayOnCaret());
  // 81 81 is one character of two equal bytes, not a repeated one.
  TypeAheadText equalBytes{sjis};
  equalBytes.Type('\x81', 10);
  equalBytes.Type('\x81', 20);
  EXPECT_EQ(equalBytes.SearchText(), "\x81\x81");
}

}  // namespace
