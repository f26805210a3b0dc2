#include "dialogs/find_stepping.h"

#include <cstring>

namespace {

template <typename Record>
const Record* RecordAt(const std::optional<RecordTable<Record>>& table, uint32_t slot) {
  if (!table || slot >= table->used || slot >= table->slots.size()) return nullptr;
  return &(*table)[slot];
}

// Fields are zero-terminated within their width, so strstr stays inside them.
bool Holds(const char* field, const char* text) { return std::strstr(field, text) != nullptr; }

// First matching position in [from, end), or -1.
int32_t FirstMatch(const std::vector<ItemRef>& items, size_t from, const AddressStore& store, FindMode mode,
                   const char* text) {
  for (size_t i = from; i < items.size(); ++i)
    if (EntryMatches(store, items[i], mode, text)) return static_cast<int32_t>(i);
  return -1;
}

}  // namespace

bool EntryMatches(const AddressStore& store, ItemRef item, FindMode mode, const char* text) {
  if (!text) return false;
  uint32_t slot = ItemSlot(item);
  if (ItemKindOf(item) == kGroupItem) {
    const GroupRecord* group = RecordAt(store.groups, slot);
    return mode == FindMode::kDescription && group && Holds(group->name, text);
  }
  const PersonRecord* person = RecordAt(store.persons, slot);
  if (!person) return false;
  return Holds(mode == FindMode::kDescription ? person->description : person->email, text);
}

void FindNextEntry(FindPositions& positions, const std::vector<ItemRef>& items, const AddressStore& store,
                   FindMode mode, const char* text) {
  positions.FindHitPosition = -1;
  if (items.empty()) return;
  int32_t start = positions.FindResumePosition;
  size_t from = start > 0 ? static_cast<size_t>(start) : 0;
  int32_t hit = FirstMatch(items, from, store, mode, text);
  if (hit < 0 && start != 0) hit = FirstMatch(items, 0, store, mode, text);
  positions.FindHitPosition = hit;
  positions.FindResumePosition = hit < 0 ? 0 : hit + 1;
}
