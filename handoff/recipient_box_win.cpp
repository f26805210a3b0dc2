// The recipient box ("ToBoxClass"): three buttons and the owner-drawn list of recipients.
#include <windows.h>

#include <algorithm>
#include <new>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "app/book_files.h"
#include "app/startup.h"
#include "app/layout.h"
#include "app/shell_state.h"
#include "handoff/gdi_handles_win.h"
#include "panes/gdi_handles.h"
#include "handoff/recipient_box.h"
#include "panes/item_ref.h"

namespace {

constexpr int kPictureWidth = 22;
constexpr int kPictureHeight = 16;
constexpr int kPersonPictureId = 118;
constexpr COLORREF kFrameGrey = RGB(110, 110, 110);
constexpr DWORD kRecipientListStyle = 0x40210811;  // child, vscroll, tab stop, notify, owner-drawn, extended sel.

// What the box holds for its lifetime besides the windows in g_shell.
struct RecipientBoxResources {
  OwnedFont font;                // none: the stock system font stands in
  PictureSurface personPicture;  // loaded when the list measures its items
  COLORREF highlight = 0;
  COLORREF highlightText = 0;
};
RecipientBoxResources g_box;

HFONT RecipientFont() {
  return g_box.font ? g_box.font.get() : static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
}

// Character height + 2 of the font, or 0 when it cannot be measured.
int PaddedTextHeight(HDC dc, HFONT font) {
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICA metrics = {};
  bool measured = GetPaddedTextMetrics(dc, &metrics);
  SelectObject(dc, old);
  return measured ? metrics.tmHeight : 0;
}

// ---- list contents -------------------------------------------------------------------------

std::vector<int> SelectedIndexes(HWND list) {
  LRESULT count = SendMessageA(list, LB_GETSELCOUNT, 0, 0);
  if (count <= 0) return {};
  std::vector<int> indexes(static_cast<size_t>(count));
  LRESULT got = SendMessageA(list, LB_GETSELITEMS, count, reinterpret_cast<LPARAM>(indexes.data()));
  indexes.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return indexes;
}

ItemRef ItemRefAt(HWND list, int index) {
  return static_cast<ItemRef>(SendMessageA(list, LB_GETITEMDATA, index, 0));
}

// The first recipient-list index holding exactly this ItemRef, or -1.
int FindRecipient(ItemRef ref) {
  HWND list = g_shell.recipientList;
  LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  for (int i = 0; i < count; ++i)
    if (ItemRefAt(list, i) == ref) return i;
  return -1;
}

void RemoveSelectedRecipients() {
  std::vector<int> selected = SelectedIndexes(g_shell.recipientList);
  for (auto it = selected.rbegin(); it != selected.rend(); ++it)
    SendMessageA(g_shell.recipientList, LB_DELETESTRING, *it, 0);
}

// ---- creation and destruction ---------------------------------------------------------------

HWND CreateChild(HWND box, const char* windowClass, const char* text, DWORD style, int id) {
  return CreateWindowExA(0, windowClass, text, style, 0, 0, 1, 1, box,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), g_shell.instance, nullptr);
}

void SetChildFonts(HFONT font) {
  for (HWND child : {g_shell.toButton, g_shell.recipientDeleteButton, g_shell.sendButton,
                     g_shell.recipientList})
    if (child) SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void OnCreate(HWND box) {
  g_shell.recipientBox = box;
  g_box.highlight = GetSysColor(COLOR_HIGHLIGHT);
  g_box.highlightText = GetSysColor(COLOR_HIGHLIGHTTEXT);
  const char* sendCaption = g_shell.StartMode == 1 ? "Set" : "Mail";
  g_shell.toButton = CreateChild(box, "BUTTON", ">>To", WS_CHILD | BS_PUSHBUTTON, kToButtonId);
  g_shell.recipientDeleteButton =
      CreateChild(box, "BUTTON", "<<Delete", WS_CHILD | BS_PUSHBUTTON, kRecipientDeleteId);
  g_shell.sendButton = CreateChild(box, "BUTTON", sendCaption, WS_CHILD | BS_PUSHBUTTON, kSendButtonId);
  g_shell.recipientList = CreateChild(box, "listbox", "", kRecipientListStyle, kRecipientListId);
  FontSet set = StandardFontSet;
  g_box.font.reset(CreateFontFromSet(set));
  SetChildFonts(RecipientFont());
  UpdateRecipientControls();
}

void OnDestroy() {
  if (g_box.font) SetChildFonts(static_cast<HFONT>(GetStockObject(SYSTEM_FONT)));
  g_box.font.reset();
  g_box.personPicture.Release();
}

// ---- painting -------------------------------------------------------------------------------

void PaintBox(HWND box) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(box, &ps);
  RECT r;
  GetClientRect(box, &r);
  OwnedPen grey(CreatePen(PS_SOLID, 1, kFrameGrey));
  HGDIOBJ oldPen = SelectObject(dc, grey.get());
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(LTGRAY_BRUSH));
  Rectangle(dc, r.left, r.top, r.right, r.bottom);
  DrawLine(dc, r.left + 2, r.top + 2, r.right - 2, r.top + 2);
  DrawLine(dc, r.left + 2, r.top + 2, r.left + 2, r.bottom - 3);
  SelectObject(dc, GetStockObject(WHITE_PEN));
  DrawLine(dc, r.left + 2, r.bottom - 3, r.right - 2, r.bottom - 3);
  DrawLine(dc, r.right - 2, r.top + 2, r.right - 2, r.bottom - 3);
  if (g_shell.recipientList) {
    RECT lr;
    GetWindowRect(g_shell.recipientList, &lr);
    MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&lr), 2);
    SelectObject(dc, grey.get());
    Rectangle(dc, lr.left - 1, lr.top - 1, lr.right + 1, lr.bottom + 1);
  }
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  EndPaint(box, &ps);
}

// ---- list items -----------------------------------------------------------------------------

// Asked while the list is being created, before its handle is known: measured on the box.
void MeasureRecipient(HWND box, MEASUREITEMSTRUCT* request) {
  g_box.personPicture.Load(g_shell.instance, kPersonPictureId);
  int height = 0;
  if (HDC dc = GetDC(box)) {
    height = PaddedTextHeight(dc, RecipientFont());
    ReleaseDC(box, dc);
  }
  request->itemHeight = static_cast<UINT>(std::max(kPictureHeight, height));
}

template <size_t N>
std::string_view FieldText(const char (&field)[N]) {
  return std::string_view(field, strnlen(field, N));
}

// " D<A>" for a person, " name" for a group; false when the record cannot be read.
bool RecipientText(ItemRef ref, std::string& text) {
  uint32_t slot = ItemSlot(ref);
  const AddressStore& store = g_shell.store;
  if (ItemKindOf(ref) == kPersonItem) {
    if (!store.persons || slot >= store.persons->slots.size()) return false;
    const PersonRecord& p = (*store.persons)[slot];
    text.assign(" ").append(FieldText(p.description)).append("<").append(FieldText(p.email)).append(">");
  } else {
    if (!store.groups || slot >= store.groups->slots.size()) return false;
    text.assign(" ").append(FieldText((*store.groups)[slot].name));
  }
  return true;
}

void DrawRecipientContent(const DRAWITEMSTRUCT* request) {
  std::string text;
  if (!RecipientText(static_cast<ItemRef>(request->itemData), text)) return;
  HDC dc = request->hDC;
  const RECT& item = request->rcItem;
  int itemHeight = item.bottom - item.top;
  if (g_box.personPicture)
    BitBlt(dc, item.left, item.top + (itemHeight - kPictureHeight) / 2, kPictureWidth, kPictureHeight,
           g_box.personPicture.dc(), 0, 0, SRCCOPY);
  HGDIOBJ oldFont = SelectObject(dc, RecipientFont());
  TEXTMETRICA metrics = {};
  int textHeight = GetPaddedTextMetrics(dc, &metrics) ? metrics.tmHeight : 0;
  RECT textRect = {item.left + kPictureWidth, item.top, item.right, item.bottom};
  ExtTextOutA(dc, textRect.left, item.top + (itemHeight - textHeight) / 2, ETO_OPAQUE | ETO_CLIPPED,
              &textRect, text.c_str(), static_cast<UINT>(text.size()), nullptr);
  SelectObject(dc, oldFont);
}

void DrawRecipient(const DRAWITEMSTRUCT* request) {
  if (static_cast<int>(request->itemID) < 0) return;
  HDC dc = request->hDC;
  if (request->itemAction & (ODA_DRAWENTIRE | ODA_SELECT)) {
    bool selected = request->itemState & ODS_SELECTED;
    COLORREF oldText = 0, oldBack = 0;
    if (selected) {
      oldText = SetTextColor(dc, g_box.highlightText);
      oldBack = SetBkColor(dc, g_box.highlight);
    }
    DrawRecipientContent(request);
    if (selected) {
      SetTextColor(dc, oldText);
      SetBkColor(dc, oldBack);
    }
  }
  if ((request->itemAction & ODA_FOCUS) || (request->itemState & ODS_FOCUS))
    DrawFocusRect(dc, &request->rcItem);
}

// ---- commands -------------------------------------------------------------------------------

LRESULT OnCommand(HWND box, WPARAM wParam, LPARAM lParam) {
  switch (LOWORD(wParam)) {
    case kToButtonId:
      AddSelectedRecipients();
      UpdateRecipientControls();
      return 0;
    case kRecipientDeleteId:
      RemoveSelectedRecipients();
      UpdateRecipientControls();
      return 0;
    case kSendButtonId:
      SendAddressesToHost(box);
      if (!SaveBeforeClose(GetParent(box))) return 0;
      // Ends the program without the main window's close handling: nothing of the
      // session (column widths, zoom) is stored on this way out.
      DestroyWindow(GetParent(box));
      return 0;
    case kRecipientListId:
      UpdateRecipientControls();
      return 1;
  }
  return DefWindowProcA(box, WM_COMMAND, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK RecipientBoxProc(HWND box, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CREATE:
      OnCreate(box);
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    case WM_PAINT:
      PaintBox(box);
      return 1;
    case WM_MEASUREITEM:
      MeasureRecipient(box, reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
      return 1;
    case WM_DRAWITEM:
      DrawRecipient(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return 1;
    case WM_COMMAND:
      return OnCommand(box, wParam, lParam);
  }
  return DefWindowProcA(box, msg, wParam, lParam);
}

void AddSelectedRecipients() {
  if (!g_shell.recipientList || !g_shell.entryList) return;
  try {
    for (int index : SelectedIndexes(g_shell.entryList)) {
      ItemRef ref = ItemRefAt(g_shell.entryList, index);
      if (FindRecipient(ref) < 0)
        SendMessageA(g_shell.recipientList, LB_ADDSTRING, 0, static_cast<LPARAM>(ref));
    }
  } catch (const std::bad_alloc&) {
    // no room for the selection: the command does nothing
  }
}

void DropDeletedRecipients() {
  if (!g_shell.recipientBox || !g_shell.recipientList || !g_shell.entryList) return;
  try {
    std::vector<int> selected = SelectedIndexes(g_shell.entryList);
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
      int found = FindRecipient(ItemRefAt(g_shell.entryList, *it));
      if (found >= 0) SendMessageA(g_shell.recipientList, LB_DELETESTRING, found, 0);
    }
  } catch (const std::bad_alloc&) {
  }
}

void UpdateRecipientControls() {
  if (!g_shell.recipientBox) return;
  bool entriesSelected = g_shell.entryList && SendMessageA(g_shell.entryList, LB_GETSELCOUNT, 0, 0) > 0;
  bool recipientsSelected =
      g_shell.recipientList && SendMessageA(g_shell.recipientList, LB_GETSELCOUNT, 0, 0) > 0;
  bool recipientsListed = g_shell.recipientList && SendMessageA(g_shell.recipientList, LB_GETCOUNT, 0, 0) > 0;
  UINT toState = MF_BYCOMMAND | (entriesSelected ? MF_ENABLED : MF_GRAYED);
  if (HMENU mainMenu = GetMenu(GetParent(g_shell.recipientBox))) EnableMenuItem(mainMenu, kCmdTo, toState);
  if (g_shell.popupMenu) EnableMenuItem(g_shell.popupMenu, kCmdTo, toState);
  if (g_shell.toButton) EnableWindow(g_shell.toButton, entriesSelected);
  if (g_shell.recipientDeleteButton) EnableWindow(g_shell.recipientDeleteButton, recipientsSelected);
  if (g_shell.sendButton) EnableWindow(g_shell.sendButton, recipientsListed);
}
