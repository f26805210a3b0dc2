// The person items of the dialogs' lists, on top of the kit's list box helpers.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "app/panes/item_ref.h"
#include "win/list_box_win.h"

// Person slots of the items, in list order.
std::vector<uint32_t> PersonSlotsOf(const std::vector<ItemRef>& items);

// Bulk changes: the list is refilled, or the items appended at its end, in one go.
void FillWithPersons(HWND list, const std::vector<uint32_t>& slots);  // empties the list first
void AppendPersonItems(HWND list, const std::vector<uint32_t>& slots);
