#include "app/sort_commands.h"

#include <windows.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "app/shell_state.h"
#include "app/panes/item_ref.h"
#include "app/panes/panes.h"

namespace {

// 0 -> 1 -> 2 -> 1 -> 2 ...; 1 ascending, 2 descending.
int AdvanceToggle(int& toggle) { return toggle = toggle == 1 ? 2 : 1; }

bool IndexEmpty(const SortedIndex& index) { return !index.built || index.count <= 0; }

template <typename Table>
bool IsLive(const Table& table, uint32_t slot) {
  return slot < table.used && slot < table.slots.size() && !table[slot].deleted;
}

template <typename Table>
void AppendIndexed(std::vector<uint32_t>& items, const SortedIndex& index, const std::optional<Table>& table,
                   uint32_t kind, bool ascending) {
  if (IndexEmpty(index) || !table) return;
  int count = std::min<int>(index.count, static_cast<int>(index.entries.size()));
  for (int i = 0; i < count; ++i) {
    uint32_t slot = index.entries[ascending ? i : count - 1 - i];
    if (IsLive(*table, slot)) items.push_back(MakeItemRef(slot, kind));
  }
}

void AppendGroupsInRecordOrder(std::vector<uint32_t>& items) {
  const auto& groups = g_shell.store.groups;
  if (!groups) return;
  for (uint32_t slot = 0; slot < groups->used; ++slot)
    if (IsLive(*groups, slot)) items.push_back(MakeItemRef(slot, kGroupItem));
}

}  // namespace

void SortEntriesByName() {
  bool ascending = AdvanceToggle(g_shell.nameSortToggle) == 1;
  const AddressStore& store = g_shell.store;
  if (!g_shell.entryList || (IndexEmpty(store.personNameIndex) && IndexEmpty(store.groupNameIndex))) return;
  std::vector<uint32_t> items;
  AppendIndexed(items, store.personNameIndex, store.persons, kPersonItem, ascending);
  AppendIndexed(items, store.groupNameIndex, store.groups, kGroupItem, ascending);
  ShowEntries(g_shell.entryList, items);
  g_shell.lastSort = kCmdSortByName;
  ++g_shell.listSorts;
}

void SortEntriesByMail() {
  bool ascending = AdvanceToggle(g_shell.mailSortToggle) == 1;
  const AddressStore& store = g_shell.store;
  if (!g_shell.entryList || IndexEmpty(store.personMailIndex)) return;
  std::vector<uint32_t> items;
  AppendIndexed(items, store.personMailIndex, store.persons, kPersonItem, ascending);
  AppendGroupsInRecordOrder(items);  // groups have no address: record order either way
  ShowEntries(g_shell.entryList, items);
  g_shell.lastSort = kCmdSortByMail;
  ++g_shell.listSorts;
}
