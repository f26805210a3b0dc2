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

// ---- bulk changes ----------------------------------------------------------------------------
// Under Wine every change of a visible list box costs scroll bar and repaint work, and an insert
// or removal near the top moves the whole item array; thousands of them take minutes. So every
// bulk change suspends the list's redrawing and, where many items move, builds the final order
// and refills the list once. The outcome (items, order, selection) is that of the single steps.

// Suspends a visible list's redrawing for the scope; at its end screen readers are told the
// list changed (a reorder), redrawing is switched back on and, unless told otherwise, the list repainted once (invalidate with erase, paint at once).
class ListRedrawPause {
 public:
  enum class Repaint { kOnce, kByCaller };
  explicit ListRedrawPause(HWND list, Repaint repaint = Repaint::kOnce);
  ~ListRedrawPause();
  ListRedrawPause(const ListRedrawPause&) = delete;
  ListRedrawPause& operator=(const ListRedrawPause&) = delete;

 private:
  HWND list_;
  bool paused_;
  Repaint repaint_;
};

// Empties the list and adds the items in order (storage reserved first). Redraw: the caller's.
void RefillList(HWND list, const std::vector<uint32_t>& items);
// Appends the items at the end, in order, with redrawing suspended.
void AppendItems(HWND list, const std::vector<uint32_t>& items);
// As inserting each item at position 0 in turn: the last one ends up first, above the items
// listed before, which keep their selection.
void InsertItemsAtTop(HWND list, const std::vector<uint32_t>& inInsertOrder);
// Deletes the items at these ascending positions, as deleting them from the last to the first
// does; the remaining items keep their selection.
void DeletePositions(HWND list, const std::vector<int>& ascending);

// Invalidates the window with background erase and paints it at once; nothing for none.
void RepaintNow(HWND window);

// Inserts items[k] so that it ends up at positions[k] (ascending, as each insert in turn
// gives); the other items keep their selection.
void InsertItemsAt(HWND list, const std::vector<int>& positions, const std::vector<uint32_t>& items);
// Makes these ascending positions the whole selection.
void SelectExactly(HWND list, const std::vector<int>& ascending);
