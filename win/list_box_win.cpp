#include "win/list_box_win.h"


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

void DeletePositions(HWND list, const std::vector<int>& ascending) {
  for (auto it = ascending.rbegin(); it != ascending.rend(); ++it)
    SendMessageA(list, LB_DELETESTRING, static_cast<WPARAM>(*it), 0);
}
