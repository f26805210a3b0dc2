#include <gtest/gtest.h>

#include <vector>

#include "app/panes/entry_view.h"
#include "dialogs_test_store.h"
#include "store/search_texts.h"

namespace {

class EntryViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ann = MakeItemRef(AddTestPerson(store, "Ann Lee", "ann@x.org"), kPersonItem);
    bob = MakeItemRef(AddTestPerson(store, "Bob Berg", "bob@gmail.com"), kPersonItem);
    lee = MakeItemRef(AddTestGroup(store, "Lee family"), kGroupItem);
    ashlee = MakeItemRef(AddTestPerson(store, "Ashlee Moor", "ashlee@z.org"), kPersonItem);
    FoldBookTexts(store, SingleByteCodePage(1252));
    // The list as a sort or the inserts left it: a group above a person.
    list = {ann, lee, bob, ashlee};
  }
  void Search(const char* text) { view.SetWords(SearchWords(store, text), list); }

  AddressStore store;
  EntryView view;
  ItemRef ann = 0, bob = 0, lee = 0, ashlee = 0;
  std::vector<ItemRef> list;
};

}  // namespace

TEST_F(EntryViewTest, ShowsMatchesPersonsFirstInTheListsOrder) {
  EXPECT_FALSE(view.Narrowed());
  Search("lee");
  EXPECT_TRUE(view.Narrowed());
  EXPECT_EQ(view.Shown(store), (std::vector<ItemRef>{ann, ashlee, lee}));
  Search("  ");  // blanks only: the whole list, live entries only
  EXPECT_FALSE(view.Narrowed());
  (*store.persons)[ItemSlot(bob)].deleted = 1;
  EXPECT_EQ(view.Shown(store), (std::vector<ItemRef>{ann, lee, ashlee}));
  EXPECT_EQ(LiveEntryCount(store), 3u);
}

TEST_F(EntryViewTest, TheWholeListStaysWhileNarrowed) {
  Search("lee");
  Search("ann");  // narrowing further never loses the entries narrowed away before
  EXPECT_EQ(view.Shown(store), (std::vector<ItemRef>{ann}));
  view.SetWhole({ashlee, bob, ann, lee});  // a sort while narrowed sorts what is shown
  Search("lee");
  EXPECT_EQ(view.Shown(store), (std::vector<ItemRef>{ashlee, ann, lee}));
}

TEST_F(EntryViewTest, ChangedEntriesStayInViewUntilTheWordsChange) {
  Search("lee");
  ItemRef dora = MakeItemRef(AddTestPerson(store, "Dora"), kPersonItem);
  view.AddAtTop(dora, true);  // made while narrowed
  ItemRef cy = MakeItemRef(AddTestPerson(store, "Cy Leeds"), kPersonItem);
  ItemRef zed = MakeItemRef(AddTestPerson(store, "Zed"), kPersonItem);
  view.AddAtTop(cy, false);  // imported: shows because it matches
  view.AddAtTop(zed, false);
  CopyToField((*store.persons)[ItemSlot(ann)].description, kTextFieldSize, "Ann Berg");
  RefoldPerson(store, ItemSlot(ann));
  view.Keep(ann);  // edited while narrowed: no longer matches, stays
  EXPECT_EQ(view.Shown(store), (std::vector<ItemRef>{cy, dora, ann, ashlee, lee}));
  Search("lee");  // the text changed: only matches again
  EXPECT_EQ(view.Shown(store), (std::vector<ItemRef>{cy, ashlee, lee}));
  Search("");
  EXPECT_EQ(view.Shown(store), (std::vector<ItemRef>{zed, cy, dora, ann, lee, bob, ashlee}));
}
