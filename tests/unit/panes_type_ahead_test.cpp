#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "app/panes/entry_texts.h"
#include "app/panes/item_mirror.h"
#include "app/panes/spoken_names.h"
#include "app/panes/type_ahead.h"
#include "dialogs_test_store.h"

namespace {

const std::vector<std::string> kBook = {"Anna Berg", "bert Lang", "Carla Rossi", "Bruno Keller", "carl", "Bea"};

int Find(int caret, bool includeCaret, std::string_view prefix, int* asked = nullptr) {
  return FindTypeAheadTarget(static_cast<int>(kBook.size()), caret, includeCaret, prefix, CodePage{}, [&](int i) {
    if (asked) ++*asked;
    return std::string_view(kBook[static_cast<size_t>(i)]);
  });
}

// Types each character at its tick and searches from the caret, as the list does.
int TypeAll(TypeAheadText& typed, int& caret, const std::string& chars, const std::vector<uint32_t>& ticks) {
  for (size_t i = 0; i < chars.size(); ++i) {
    typed.Type(chars[i], ticks[i]);
    int found = Find(caret, typed.MayStayOnCaret(), typed.SearchText());
    if (found >= 0) caret = found;
  }
  return caret;
}

}  // namespace

TEST(TypeAheadSearchTest, FindsTheNextMatchAfterTheCaretAndWraps) {
  EXPECT_EQ(Find(0, false, "b"), 1);
  EXPECT_EQ(Find(1, false, "b"), 3);   // the caret's own entry is passed over
  EXPECT_EQ(Find(3, false, "b"), 5);
  EXPECT_EQ(Find(5, false, "b"), 1);   // wraps at the end
  EXPECT_EQ(Find(2, true, "CA"), 2);   // may stay on the caret while the text grows
  EXPECT_EQ(Find(2, false, "ca"), 4);
  EXPECT_EQ(Find(-1, false, "a"), 0);  // no caret: from the top
  EXPECT_EQ(Find(0, false, "a"), 0);   // the only match is the caret's own entry, reached by wrapping
}

TEST(TypeAheadSearchTest, MissesAndEmptyInputsFindNothingInOnePass) {
  int asked = 0;
  EXPECT_EQ(Find(2, false, "zz", &asked), -1);
  EXPECT_EQ(asked, static_cast<int>(kBook.size()));  // one pass, not more
  EXPECT_EQ(Find(0, false, ""), -1);
  EXPECT_EQ(FindTypeAheadTarget(0, 0, false, "a", CodePage{}, [](int) { return std::string_view(); }), -1);
  EXPECT_EQ(Find(0, false, "Carla Rossi and more"), -1);  // longer than every description
}

TEST(TypeAheadSearchTest, FoldsOnlyAsciiLettersAsTheStoreDoes) {
  EXPECT_TRUE(BeginsWithNoCase("Carla", "cARL", CodePage{}));
  EXPECT_FALSE(BeginsWithNoCase("\xC9mile", "\xE9", CodePage{}));  // É and é differ, as in the store's comparison
  EXPECT_TRUE(BeginsWithNoCase("x", "", CodePage{}));
}

TEST(TypeAheadTextTest, QuickCharactersExtendAndAPauseStartsAgain) {
  TypeAheadText typed{CodePage{}};
  int caret = 0;
  EXPECT_EQ(TypeAll(typed, caret, "ca", {1000, 1400}), 2);  // "c" finds Carla, "ca" stays there
  EXPECT_EQ(typed.SearchText(), "ca");
  EXPECT_EQ(TypeAll(typed, caret, "b", {2401}), 3);          // over a second later: a new text "b"
  EXPECT_EQ(typed.SearchText(), "b");
}

TEST(TypeAheadTextTest, ARepeatedLetterStepsThroughTheEntriesBeginningWithIt) {
  TypeAheadText typed{CodePage{}};
  int caret = 0;
  EXPECT_EQ(TypeAll(typed, caret, "b", {50}), 1);
  EXPECT_EQ(TypeAll(typed, caret, "b", {300}), 3);  // the second "b" entry, not "bb"
  EXPECT_EQ(TypeAll(typed, caret, "B", {600}), 5);
  EXPECT_EQ(TypeAll(typed, caret, "r", {900}), 5);  // "bbBr" is no repeat: no entry begins with it, the caret stays
}

TEST(TypeAheadTextTest, TheTickCountMayWrapAround) {
  TypeAheadText typed{CodePage{}};
  typed.Type('c', 0xFFFFFF00u);
  typed.Type('a', 0x00000010u);  // 0x110 ms later
  EXPECT_EQ(typed.SearchText(), "ca");
  EXPECT_TRUE(typed.MayStayOnCaret());
}

TEST(SpokenNamesTest, JoinsTheShownTextsInColumnOrderLeavingOutEmptyOnes) {
  EntryTexts person;
  person.found = true;
  person.name = " Carla Rossi";
  person.email = " carla@example.org";
  person.memo = " ";
  EXPECT_EQ(SpokenEntryName(person, "group"), "Carla Rossi, carla@example.org");

  EntryTexts group;
  group.found = group.isGroup = true;
  group.name = " Tennis club";
  group.memo = " Tuesdays";
  EXPECT_EQ(SpokenEntryName(group, "group"), "Tennis club, group, Tuesdays");

  EXPECT_EQ(SpokenEntryName(EntryTexts{}, "group"), "");  // a record that cannot be read
  EXPECT_EQ(JoinSpokenTexts({" a", "", " ", "b"}), "a, b");
}

TEST(SpokenNamesTest, TypeAheadReadsTheDescriptionInPlaceAndNothingForAMissingRecord) {
  AddressStore store;
  EXPECT_EQ(EntryDescription(store, MakeItemRef(0, kPersonItem)), "");  // no tables at all
  AddTestPerson(store, "Carla Rossi", "carla@example.org");
  AddTestGroup(store, "Tennis club");
  EXPECT_EQ(EntryDescription(store, MakeItemRef(0, kPersonItem)), "Carla Rossi");
  EXPECT_EQ(EntryDescription(store, MakeItemRef(0, kGroupItem)), "Tennis club");
  EXPECT_EQ(EntryDescription(store, MakeItemRef(1, kPersonItem)), "");
  // A field without its terminating zero is read within its width.
  PersonRecord& person = (*store.persons)[0];
  std::fill(std::begin(person.description), std::end(person.description), 'x');
  EXPECT_EQ(EntryDescription(store, MakeItemRef(0, kPersonItem)).size(), sizeof person.description);
}

TEST(ItemMirrorTest, FollowsInsertsErasuresAndReplacementsAsTheListDoes) {
  ItemMirror mirror;
  EXPECT_TRUE(mirror.InStepWith(0));
  mirror.Reserve(3);
  mirror.Inserted(0, 10);  // appended
  mirror.Inserted(1, 20);
  mirror.Inserted(0, 5);   // inserted at the top
  EXPECT_EQ(mirror.items(), (std::vector<uint32_t>{5, 10, 20}));
  mirror.Erased(1);
  mirror.Replaced(1, 21);
  mirror.Inserted(-1, 99);  // refused by the list: nothing changed
  EXPECT_EQ(mirror.items(), (std::vector<uint32_t>{5, 21}));
  EXPECT_TRUE(mirror.InStepWith(2));
  mirror.Clear();
  EXPECT_TRUE(mirror.InStepWith(0));
}

TEST(ItemMirrorTest, AChangeItCannotFollowPutsItOutOfStepUntilReadAgain) {
  ItemMirror mirror;
  mirror.Inserted(0, 1);
  mirror.Inserted(5, 2);  // beyond the end: a change was missed
  EXPECT_FALSE(mirror.InStepWith(0));
  EXPECT_FALSE(mirror.InStepWith(1));
  mirror.Inserted(0, 3);  // stays out of step, whatever follows
  EXPECT_FALSE(mirror.InStepWith(1));
  mirror.ReadAgain({7, 8});
  EXPECT_TRUE(mirror.InStepWith(2));
  mirror.Erased(2);
  EXPECT_FALSE(mirror.InStepWith(2));
  mirror.ReadAgain({7, 8});
  mirror.Replaced(9, 0);
  EXPECT_FALSE(mirror.InStepWith(2));
  mirror.Reserve(static_cast<size_t>(-1));  // a wild hint does no harm
  mirror.Clear();
  EXPECT_TRUE(mirror.InStepWith(0));
}
