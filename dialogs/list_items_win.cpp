#include "dialogs/list_items_win.h"

std::vector<uint32_t> PersonSlotsOf(const std::vector<ItemRef>& items) {
  std::vector<uint32_t> slots;
  slots.reserve(items.size());
  for (ItemRef item : items) slots.push_back(ItemSlot(item));
  return slots;
}

void AppendPersonItem(HWND list, uint32_t slot) { AppendItemData(list, MakeItemRef(slot, kPersonItem)); }

void FillWithPersons(HWND list, const std::vector<uint32_t>& slots) {
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  for (uint32_t slot : slots) AppendPersonItem(list, slot);
}
