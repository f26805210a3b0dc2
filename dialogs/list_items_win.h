// Reading and changing the ItemRef items of the program's list boxes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "panes/item_ref.h"

std::vector<int> SelectedPositions(HWND list);  // ascending
std::vector<ItemRef> ItemsAt(HWND list, const std::vector<int>& positions);
std::vector<ItemRef> AllItems(HWND list);
int SelectedCount(HWND list);

// Person slots of the items, in list order.
std::vector<uint32_t> PersonSlotsOf(const std::vector<ItemRef>& items);

// Appends one person item at the end of the list.
void AppendPersonItem(HWND list, uint32_t slot);
void FillWithPersons(HWND list, const std::vector<uint32_t>& slots);  // empties the list first
