#include "dialogs/list_items_win.h"

std::vector<uint32_t> PersonSlotsOf(const std::vector<ItemRef>& items) {
  std::vector<uint32_t> slots;
  slots.reserve(items.size());
  for (ItemRef item : items) slots.push_back(ItemSlot(item));
  return slots;
}

void FillWithPersons(HWND list, const std::vector<uint32_t>& slots) {
  ListRedrawPause pause(list);
  RefillList(list, MakeItemRefs(slots, kPersonItem));
}

void AppendPersonItems(HWND list, const std::vector<uint32_t>& slots) { AppendItems(list, MakeItemRefs(slots, kPersonItem)); }
