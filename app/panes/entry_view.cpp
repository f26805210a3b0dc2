#include "app/panes/entry_view.h"

#include <algorithm>

#include "store/search_texts.h"

namespace {

template <typename Table>
bool IsLive(const std::optional<Table>& table, uint32_t slot) {
  return table && slot < table->used && slot < table->slots.size() && !(*table)[slot].deleted;
}

bool IsLiveEntry(const AddressStore& store, ItemRef item) {
  uint32_t slot = ItemSlot(item);
  return ItemKindOf(item) == kGroupItem ? IsLive(store.groups, slot) : IsLive(store.persons, slot);
}

template <typename Table>
uint32_t LiveCount(const std::optional<Table>& table) {
  uint32_t count = 0;
  if (!table) return 0;
  for (uint32_t slot = 0; slot < table->used && slot < table->slots.size(); ++slot)
    if (!(*table)[slot].deleted) ++count;
  return count;
}

}  // namespace

void EntryView::SetWords(std::vector<std::string> words, const std::vector<ItemRef>& listNow) {
  if (!Narrowed()) whole_ = listNow;
  words_ = std::move(words);
  kept_.clear();
}

void EntryView::AddAtTop(ItemRef item, bool keep) {
  whole_.insert(whole_.begin(), item);
  if (keep) kept_.insert(item);
}

void EntryView::Keep(ItemRef item) {
  if (std::find(whole_.begin(), whole_.end(), item) == whole_.end()) whole_.insert(whole_.begin(), item);
  kept_.insert(item);
}

std::vector<ItemRef> EntryView::Shown(AddressStore& store) const {
  std::vector<ItemRef> persons;
  std::vector<ItemRef> groups;
  for (ItemRef item : whole_) {
    if (!Narrowed()) {
      if (IsLiveEntry(store, item)) persons.push_back(item);
      continue;
    }
    bool group = ItemKindOf(item) == kGroupItem;
    bool kept = kept_.count(item) != 0 && IsLiveEntry(store, item);
    if (kept || (group ? GroupHoldsWords(store, ItemSlot(item), words_)
                       : PersonHoldsWords(store, ItemSlot(item), words_)))
      (group ? groups : persons).push_back(item);
  }
  persons.insert(persons.end(), groups.begin(), groups.end());
  return persons;
}

uint32_t LiveEntryCount(const AddressStore& store) { return LiveCount(store.persons) + LiveCount(store.groups); }
