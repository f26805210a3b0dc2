// Reading and changing the items of the program's list boxes, whose only datum per item is a
// 32-bit value (no strings), and repainting a list at once.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

int ListCount(HWND list);     // 0 for none
int SelectedCount(HWND list);  // 0 for none
std::vector<int> SelectedPositions(HWND list);  // ascending
uint32_t ItemDataAt(HWND list, int position);
std::vector<uint32_t> ItemDataAt(HWND list, const std::vector<int>& positions);
std::vector<uint32_t> AllItemData(HWND list);
int FindItemData(HWND list, uint32_t data);  // the first position holding it, or -1

// Appends one item at the end of the list; its position or an error.
LRESULT AppendItemData(HWND list, uint32_t data);

// Deletes the items at these ascending positions, from the last to the first so that the
// positions still to go stay valid.
void DeletePositions(HWND list, const std::vector<int>& ascending);

// Invalidates the window with background erase and paints it at once; nothing for none.
void RepaintNow(HWND window);
