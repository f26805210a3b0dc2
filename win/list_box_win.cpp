#include "win/list_box_win.h"

#include <algorithm>

namespace {

// Up to this many single inserts or removals cost less than reading and refilling the list.
constexpr size_t kSingleStepLimit = 32;

// What a refill must carry over besides the items: their selection, and the caret and the top
// line, which single inserts and removals leave at their numbers (only cut to the new count).
struct ListContent {
  std::vector<uint32_t> items;
  std::vector<bool> selected;
  int caret = -1;
  int top = 0;
};

ListContent ReadListContent(HWND list) {
  ListContent content;
  content.items = AllItemData(list);
  content.selected.assign(content.items.size(), false);
  for (int position : SelectedPositions(list))
    if (position >= 0 && static_cast<size_t>(position) < content.selected.size()) content.selected[position] = true;
  content.caret = static_cast<int>(SendMessageA(list, LB_GETCARETINDEX, 0, 0));
  content.top = static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
  return content;
}

// Selects each run of marked items with one request.
void SelectMarked(HWND list, const std::vector<bool>& selected) {
  for (size_t first = 0; first < selected.size();) {
    if (!selected[first]) {
      ++first;
      continue;
    }
    size_t last = first;
    while (last + 1 < selected.size() && selected[last + 1]) ++last;
    SendMessageA(list, LB_SELITEMRANGEEX, static_cast<WPARAM>(first), static_cast<LPARAM>(last));
    first = last + 1;
  }
}

int Clamp(int value, size_t count) {
  if (count == 0 || value < 0) return 0;
  return std::min(value, static_cast<int>(count) - 1);
}

void WriteListContent(HWND list, const ListContent& content) {
  RefillList(list, content.items);
  SelectMarked(list, content.selected);
  if (content.items.empty()) return;
  if (content.caret >= 0) SendMessageA(list, LB_SETCARETINDEX, static_cast<WPARAM>(Clamp(content.caret, content.items.size())), FALSE);
  SendMessageA(list, LB_SETTOPINDEX, static_cast<WPARAM>(Clamp(content.top, content.items.size())), 0);
}

bool IsShown(HWND list) { return list && (GetWindowLongA(list, GWL_STYLE) & WS_VISIBLE) != 0; }

}  // namespace

int ListCount(HWND list) {
  LRESULT count = list ? SendMessageA(list, LB_GETCOUNT, 0, 0) : 0;
  return count > 0 ? static_cast<int>(count) : 0;
}

int SelectedCount(HWND list) {
  LRESULT count = list ? SendMessageA(list, LB_GETSELCOUNT, 0, 0) : 0;
  return count > 0 ? static_cast<int>(count) : 0;
}

std::vector<int> SelectedPositions(HWND list) {
  int count = SelectedCount(list);
  if (count <= 0) return {};
  std::vector<int> positions(static_cast<size_t>(count));
  LRESULT got = SendMessageA(list, LB_GETSELITEMS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(positions.data()));
  positions.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return positions;
}

uint32_t ItemDataAt(HWND list, int position) {
  return static_cast<uint32_t>(SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(position), 0));
}

std::vector<uint32_t> ItemDataAt(HWND list, const std::vector<int>& positions) {
  std::vector<uint32_t> items;
  items.reserve(positions.size());
  for (int position : positions) items.push_back(ItemDataAt(list, position));
  return items;
}

std::vector<uint32_t> AllItemData(HWND list) {
  int count = ListCount(list);
  std::vector<uint32_t> items;
  items.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) items.push_back(ItemDataAt(list, i));
  return items;
}

int FindItemData(HWND list, uint32_t data) {
  int count = ListCount(list);
  for (int i = 0; i < count; ++i)
    if (ItemDataAt(list, i) == data) return i;
  return -1;
}

LRESULT AppendItemData(HWND list, uint32_t data) {
  return SendMessageA(list, LB_ADDSTRING, 0, static_cast<LPARAM>(data));
}

void RepaintNow(HWND window) {
  if (!window) return;
  InvalidateRect(window, nullptr, TRUE);
  UpdateWindow(window);
}

ListRedrawPause::ListRedrawPause(HWND list, Repaint repaint) : list_(list), paused_(IsShown(list)), repaint_(repaint) {
  if (paused_) SendMessageA(list_, WM_SETREDRAW, FALSE, 0);
}

ListRedrawPause::~ListRedrawPause() {
  // Screen readers read the list again after a bulk change.
  NotifyWinEvent(EVENT_OBJECT_REORDER, list_, OBJID_CLIENT, CHILDID_SELF);
  if (!paused_) return;
  SendMessageA(list_, WM_SETREDRAW, TRUE, 0);
  if (repaint_ == Repaint::kOnce) RepaintNow(list_);
}

void RefillList(HWND list, const std::vector<uint32_t>& items) {
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  // Each item is one 32-bit datum and no string.
  SendMessageA(list, LB_INITSTORAGE, static_cast<WPARAM>(items.size()), 0);
  for (uint32_t item : items) AppendItemData(list, item);
}

void AppendItems(HWND list, const std::vector<uint32_t>& items) {
  if (items.empty()) return;
  ListRedrawPause pause(list);
  SendMessageA(list, LB_INITSTORAGE, static_cast<WPARAM>(items.size()), 0);
  for (uint32_t item : items) AppendItemData(list, item);
}

void InsertItemsAtTop(HWND list, const std::vector<uint32_t>& inInsertOrder) {
  if (inInsertOrder.empty()) return;
  ListRedrawPause pause(list);
  if (inInsertOrder.size() <= kSingleStepLimit) {
    for (uint32_t item : inInsertOrder) SendMessageA(list, LB_INSERTSTRING, 0, static_cast<LPARAM>(item));
    return;
  }
  ListContent content = ReadListContent(list);
  size_t added = inInsertOrder.size();
  content.items.insert(content.items.begin(), inInsertOrder.rbegin(), inInsertOrder.rend());
  content.selected.insert(content.selected.begin(), added, false);
  WriteListContent(list, content);
}

void DeletePositions(HWND list, const std::vector<int>& ascending) {
  if (ascending.empty()) return;
  ListRedrawPause pause(list);
  if (ascending.size() <= kSingleStepLimit) {
    for (auto it = ascending.rbegin(); it != ascending.rend(); ++it)
      SendMessageA(list, LB_DELETESTRING, static_cast<WPARAM>(*it), 0);
    return;
  }
  ListContent before = ReadListContent(list);
  ListContent after;
  std::vector<bool> gone(before.items.size(), false);
  for (int position : ascending)
    if (position >= 0 && static_cast<size_t>(position) < gone.size()) gone[position] = true;
  for (size_t i = 0; i < before.items.size(); ++i) {
    if (gone[i]) continue;
    after.items.push_back(before.items[i]);
    after.selected.push_back(before.selected[i]);
  }
  after.caret = before.caret;
  after.top = before.top;
  WriteListContent(list, after);
}

void InsertItemsAt(HWND list, const std::vector<int>& positions, const std::vector<uint32_t>& items) {
  size_t count = std::min(positions.size(), items.size());
  if (count == 0) return;
  ListRedrawPause pause(list);
  if (count <= kSingleStepLimit) {
    for (size_t k = 0; k < count; ++k)
      SendMessageA(list, LB_INSERTSTRING, static_cast<WPARAM>(positions[k]), static_cast<LPARAM>(items[k]));
    return;
  }
  ListContent before = ReadListContent(list);
  ListContent after;
  after.items.reserve(before.items.size() + count);
  size_t next = 0;
  for (size_t k = 0; k < count; ++k) {
    while (after.items.size() < static_cast<size_t>(positions[k]) && next < before.items.size()) {
      after.items.push_back(before.items[next]);
      after.selected.push_back(before.selected[next++]);
    }
    after.items.push_back(items[k]);
    after.selected.push_back(false);
  }
  for (; next < before.items.size(); ++next) {
    after.items.push_back(before.items[next]);
    after.selected.push_back(before.selected[next]);
  }
  after.caret = before.caret;
  after.top = before.top;
  WriteListContent(list, after);
}

void SelectExactly(HWND list, const std::vector<int>& ascending) {
  SendMessageA(list, LB_SETSEL, FALSE, -1);
  std::vector<bool> selected(static_cast<size_t>(ListCount(list)), false);
  for (int position : ascending)
    if (position >= 0 && static_cast<size_t>(position) < selected.size()) selected[position] = true;
  SelectMarked(list, selected);
}
