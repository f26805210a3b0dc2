// What the entry list shows while the search box holds words: the whole list, in the order it
// would have without the box, is kept aside; the list shows the live entries that hold every
// word (persons first, then groups, each in that order), and the entries made, changed or
// brought back while the words stood, until the words change.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "app/panes/item_ref.h"
#include "store/records.h"

class EntryView {
 public:
  bool Narrowed() const { return !words_.empty(); }
  const std::vector<std::string>& Words() const { return words_; }

  // New search words (folded); the entries kept in view go. Narrowing from a whole list takes
  // that list (the entry list as it stands) as the whole.
  void SetWords(std::vector<std::string> words, const std::vector<ItemRef>& listNow);
  // The whole list in a new order (a fill or a sort).
  void SetWhole(std::vector<ItemRef> whole) { whole_ = std::move(whole); }
  const std::vector<ItemRef>& Whole() const { return whole_; }

  // An entry new to the book goes to the top of the whole list; `keep` holds it in view.
  void AddAtTop(ItemRef item, bool keep);
  // Holds an entry in view until the words change (an edit, an undo); one the whole list does
  // not hold yet goes to its top.
  void Keep(ItemRef item);

  // The entries to show: every live entry of the whole list when there are no words.
  std::vector<ItemRef> Shown(AddressStore& store) const;

 private:
  std::vector<std::string> words_;
  std::vector<ItemRef> whole_;
  std::unordered_set<ItemRef> kept_;
};

// Live persons and groups of the book, the "of" count of the status bar.
uint32_t LiveEntryCount(const AddressStore& store);
