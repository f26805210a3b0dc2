#include "dialogs/list_items_win.h"

std::vector<int> SelectedPositions(HWND list) {
  int count = SelectedCount(list);
  if (count <= 0) return {};
  std::vector<int> positions(static_cast<size_t>(count));
  LRESULT got = SendMessageA(list, LB_GETSELITEMS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(positions.data()));
  positions.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return positions;
}

std::vector<ItemRef> ItemsAt(HWND list, const std::vector<int>& positions) {
  std::vector<ItemRef> items;
  items.reserve(positions.size());
  for (int position : positions)
    items.push_back(static_cast<ItemRef>(SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(position), 0)));
  return items;
}

std::vector<ItemRef> AllItems(HWND list) {
  LRESULT count = list ? SendMessageA(list, LB_GETCOUNT, 0, 0) : 0;
  std::vector<int> positions;
  for (int i = 0; i < count; ++i) positions.push_back(i);
  return ItemsAt(list, positions);
}

int SelectedCount(HWND list) {
  LRESULT count = list ? SendMessageA(list, LB_GETSELCOUNT, 0, 0) : 0;
  return count > 0 ? static_cast<int>(count) : 0;
}

std::vector<uint32_t> PersonSlotsOf(const std::vector<ItemRef>& items) {
  std::vector<uint32_t> slots;
  slots.reserve(items.size());
  for (ItemRef item : items) slots.push_back(ItemSlot(item));
  return slots;
}

void AppendPersonItem(HWND list, uint32_t slot) {
  ItemRef item = MakeItemRef(slot, kPersonItem);
  // Without LBS_HASSTRINGS the "string" is the item's data; set it again to be plain about it.
  LRESULT position = SendMessageA(list, LB_ADDSTRING, 0, static_cast<LPARAM>(item));
  if (position >= 0) SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(position), static_cast<LPARAM>(item));
}

void FillWithPersons(HWND list, const std::vector<uint32_t>& slots) {
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  for (uint32_t slot : slots) AppendPersonItem(list, slot);
}
