#include "app/sort_commands.h"

#include <windows.h>

#include <algorithm>
#include <optional>

#include "app/shell_state.h"
#include "app/panes/item_ref.h"

namespace {

// 0 -> 1 -> 2 -> 1 -> 2 ...; 1 ascending, 2 descending.
int AdvanceToggle(int& toggle) { return toggle = toggle == 1 ? 2 : 1; }

bool IndexEmpty(const SortedIndex& index) { return !index.built || index.count <= 0; }

void AppendItem(uint32_t slot, uint32_t kind) {
  SendMessageA(g_shell.entryList, LB_ADDSTRING, 0, static_cast<LPARAM>(MakeItemRef(slot, kind)));
}

template <typename Table>
bool IsLive(const Table& table, uint32_t slot) {
  return slot < table.used && slot < table.slots.size() && !table[slot].deleted;
}

template <typename Table>
void AppendIndexed(const SortedIndex& index, const std::optional<Table>& table, uint32_t kind, bool ascending) {
  if (IndexEmpty(index) || !table) return;
  int count = std::min<int>(index.count, static_cast<int>(index.entries.size()));
  for (int i = 0; i < count; ++i) {
    uint32_t slot = index.entries[ascending ? i : count - 1 - i];
    if (IsLive(*table, slot)) AppendItem(slot, kind);
  }
}

void AppendGroupsInRecordOrder() {
  const auto& groups = g_shell.store.groups;
  if (!groups) return;
  for (uint32_t slot = 0; slot < groups->used; ++slot)
    if (IsLive(*groups, slot)) AppendItem(slot, kGroupItem);
}

void ClearList() { SendMessageA(g_shell.entryList, LB_RESETCONTENT, 0, 0); }

void RepaintList() {
  ShowWindow(g_shell.entryList, SW_SHOWNA);
  InvalidateRect(g_shell.entryList, nullptr, TRUE);
  UpdateWindow(g_shell.entryList);
}

}  // namespace

void SortEntriesByName() {
  bool ascending = AdvanceToggle(g_shell.nameSortToggle) == 1;
  const AddressStore& store = g_shell.store;
  if (!g_shell.entryList || (IndexEmpty(store.personNameIndex) && IndexEmpty(store.groupNameIndex))) return;
  ClearList();
  AppendIndexed(store.personNameIndex, store.persons, kPersonItem, ascending);
  AppendIndexed(store.groupNameIndex, store.groups, kGroupItem, ascending);
  RepaintList();
}

void SortEntriesByMail() {
  bool ascending = AdvanceToggle(g_shell.mailSortToggle) == 1;
  const AddressStore& store = g_shell.store;
  if (!g_shell.entryList || IndexEmpty(store.personMailIndex)) return;
  ClearList();
  AppendIndexed(store.personMailIndex, store.persons, kPersonItem, ascending);
  AppendGroupsInRecordOrder();  // groups have no address: record order either way
  RepaintList();
}
