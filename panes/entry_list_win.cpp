// The entry list: one owner-drawn line per person or group, read from the records at draw time.
#include <windows.h>

#include "app/font_specs.h"
#include "app/layout.h"
#include "app/shell_state.h"
#include "app/startup.h"
#include "panes/entry_texts.h"
#include "panes/gdi_handles.h"
#include "panes/panes.h"

namespace {

constexpr int kPictureWidth = 22;
constexpr int kPictureHeight = 16;

// A bitmap resource held selected in a memory drawing surface of its own.
struct Picture {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ previous = nullptr;
};

struct EntryListResources {
  COLORREF highlight = 0;
  COLORREF highlightText = 0;
  HFONT font = nullptr;
  Picture person;
  Picture group;
};

EntryListResources g_list;

void ReleasePicture(Picture& picture) {
  if (picture.dc) {
    if (picture.previous) SelectObject(picture.dc, picture.previous);
    DeleteDC(picture.dc);
  }
  if (picture.bitmap) DeleteObject(picture.bitmap);
  picture = Picture{};
}

bool LoadPicture(Picture& picture, int resourceId) {
  picture.bitmap = LoadBitmapA(g_shell.instance, MAKEINTRESOURCEA(resourceId));
  picture.dc = CreateCompatibleDC(nullptr);
  if (!picture.bitmap || !picture.dc) return false;
  picture.previous = SelectObject(picture.dc, picture.bitmap);
  return true;
}

void DrawPicture(HDC dc, const Picture& picture, int x, int y) {
  if (picture.dc) BitBlt(dc, x, y, kPictureWidth, kPictureHeight, picture.dc, 0, 0, SRCCOPY);
}

void DrawColumnText(HDC dc, const std::string& text, int left, int right, const RECT& item) {
  if (text.empty() || right - left == 0) return;
  RECT clip = {left, item.top, right, item.bottom};
  ExtTextOutA(dc, left, item.top + 1, ETO_OPAQUE | ETO_CLIPPED, &clip, text.data(), (UINT)text.size(), nullptr);
}

void DrawItemContent(const DRAWITEMSTRUCT* request) {
  EntryTexts texts = ReadEntryTexts(g_shell.store, (ItemRef)request->itemData);
  if (!texts.found) return;
  HDC dc = request->hDC;
  const RECT& item = request->rcItem;
  ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &item, "", 0, nullptr);
  const int* b = g_shell.headerCells.b;
  DrawPicture(dc, texts.isGroup ? g_list.group : g_list.person, (b[1] - b[0] - kPictureWidth) / 2, item.top);
  DrawColumnText(dc, texts.name, b[1], b[2], item);
  DrawColumnText(dc, texts.email, b[2], b[3], item);
  DrawColumnText(dc, texts.memo, b[3], b[4], item);
}

void AppendItem(HWND list, uint32_t slot, uint32_t kind) {
  SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)MakeItemRef(slot, kind));
}

}  // namespace

bool CreateEntryListResources(HWND) {
  g_list.highlight = GetSysColor(COLOR_HIGHLIGHT);
  g_list.highlightText = GetSysColor(COLOR_HIGHLIGHTTEXT);
  g_list.font = CreateFontFromSet(StandardFontSet);
  if (LoadPicture(g_list.person, 118) && LoadPicture(g_list.group, 119)) return true;
  ReleasePicture(g_list.person);
  ReleasePicture(g_list.group);
  return false;
}

void SetEntryListFont(HWND entryList) {
  if (g_list.font) SendMessageA(entryList, WM_SETFONT, (WPARAM)g_list.font, FALSE);
}

void FillEntryList(HWND entryList) {
  SendMessageA(entryList, LB_RESETCONTENT, 0, 0);
  const AddressStore& store = g_shell.store;
  if (store.persons)
    for (uint32_t slot = 0; slot < store.persons->used; ++slot) AppendItem(entryList, slot, kPersonItem);
  if (store.groups)
    for (uint32_t slot = 0; slot < store.groups->used; ++slot) AppendItem(entryList, slot, kGroupItem);
  ShowWindow(entryList, SW_SHOWNA);
  InvalidateRect(entryList, nullptr, TRUE);
  UpdateWindow(entryList);
}

void InsertPersonItem(HWND entryList, int slot) {
  SendMessageA(entryList, LB_INSERTSTRING, 0, (LPARAM)MakeItemRef((uint32_t)slot, kPersonItem));
}

void InsertGroupItem(HWND entryList, int slot) {
  SendMessageA(entryList, LB_INSERTSTRING, 0, (LPARAM)MakeItemRef((uint32_t)slot, kGroupItem));
}

void MeasureEntryItem(MEASUREITEMSTRUCT* request) {
  WindowDC screen(g_shell.entryList);
  SelectGuard font(screen.get(), g_list.font ? (HGDIOBJ)g_list.font : GetStockObject(SYSTEM_FONT));
  TEXTMETRICA metrics = {};
  int height = GetPaddedTextMetrics(screen.get(), &metrics) ? metrics.tmHeight : kPictureHeight;
  if (g_list.person.dc && height < kPictureHeight) height = kPictureHeight;
  request->itemHeight = (UINT)height;
}

void DrawEntryItem(const DRAWITEMSTRUCT* request) {
  if ((int)request->itemID < 0) return;
  if (request->itemAction & (ODA_DRAWENTIRE | ODA_SELECT)) {
    bool selected = (request->itemState & ODS_SELECTED) != 0;
    COLORREF oldText = 0, oldBack = 0;
    if (selected) {
      oldText = SetTextColor(request->hDC, g_list.highlightText);
      oldBack = SetBkColor(request->hDC, g_list.highlight);
    }
    DrawItemContent(request);
    if (selected) {
      SetTextColor(request->hDC, oldText);
      SetBkColor(request->hDC, oldBack);
    }
  }
  if ((request->itemAction & ODA_FOCUS) || (request->itemState & ODS_FOCUS)) DrawFocusRect(request->hDC, &request->rcItem);
}

void DrawColumnSeparators(HWND entryList) {
  if (!entryList) return;
  WindowDC dc(entryList);
  RECT client;
  GetClientRect(entryList, &client);
  GdiObject pen(CreatePen(PS_DOT, 1, RGB(0, 0, 0)));
  SelectGuard usePen(dc.get(), pen.get());
  int oldMode = SetBkMode(dc.get(), OPAQUE);
  const int* b = g_shell.headerCells.b;
  for (int column = 2; column <= 3; ++column) {
    if (b[column + 1] - b[column] == 0) continue;
    MoveToEx(dc.get(), b[column] - 1, client.top, nullptr);
    LineTo(dc.get(), b[column] - 1, client.bottom);
  }
  SetBkMode(dc.get(), oldMode);
}

void ReleaseEntryListResources() {
  ReleasePicture(g_list.person);
  ReleasePicture(g_list.group);
  if (g_shell.entryList) SendMessageA(g_shell.entryList, WM_SETFONT, (WPARAM)GetStockObject(SYSTEM_FONT), FALSE);
  if (g_list.font) DeleteObject(g_list.font);
  g_list.font = nullptr;
}

HFONT EntryListFont() { return g_list.font; }
HDC PersonPictureDC() { return g_list.person.dc; }
SelectionColours EntryListSelectionColours() { return {g_list.highlight, g_list.highlightText}; }
