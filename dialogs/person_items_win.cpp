// Owner-drawn person items of the member lists: the person picture, a blank and the description.
#include <string>

#include "app/layout.h"
#include "app/shell_state.h"
#include "dialogs/dialog_runs_win.h"
#include "dialogs/dialog_support_win.h"
#include "dialogs/editing.h"
#include "panes/item_ref.h"
#include "panes/panes.h"

namespace {

constexpr int kPersonBitmapId = 118;
constexpr int kPictureWidth = 22;
constexpr int kPictureHeight = 16;

DialogFont GroupDialogFont;

// Bitmap 118 selected into a memory surface compatible with the screen.
class PersonPicture {
 public:
  ~PersonPicture() { Release(); }
  void Load() {
    if (dc_) return;
    HBITMAP bitmap = LoadBitmapA(g_shell.instance, MAKEINTRESOURCEA(kPersonBitmapId));
    if (!bitmap) return;
    dc_ = CreateCompatibleDC(nullptr);
    if (!dc_) {
      DeleteObject(bitmap);
      return;
    }
    bitmap_ = bitmap;
    previous_ = SelectObject(dc_, bitmap_);
  }
  void Release() {
    if (!dc_) return;
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
    dc_ = nullptr;
    bitmap_ = nullptr;
  }
  HDC dc() const { return dc_; }
  int height() const {
    BITMAP info = {};
    return bitmap_ && GetObjectA(bitmap_, sizeof info, &info) ? info.bmHeight : 0;
  }

 private:
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
};

PersonPicture personPicture;

// Padded text height of the item font on a drawing surface of the window, 0 when unmeasurable.
int ItemTextHeight(HWND window) {
  HDC dc = GetDC(window);
  if (!dc) return 0;
  HGDIOBJ old = SelectObject(dc, GroupDialogFontOrSystem());
  TEXTMETRICA metrics = {};
  int height = GetPaddedTextMetrics(dc, &metrics) ? metrics.tmHeight : 0;
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  return height;
}

const char* DescriptionOf(ItemRef item) {
  const auto& persons = g_shell.store.persons;
  uint32_t slot = ItemSlot(item);
  return slot < persons->used ? (*persons)[slot].description : "";
}

void DrawPictureAndText(const DRAWITEMSTRUCT& request) {
  const RECT& item = request.rcItem;
  HDC dc = request.hDC;
  int itemHeight = item.bottom - item.top;
  if (HDC picture = personPicture.dc())
    BitBlt(dc, item.left, item.top + (itemHeight - kPictureHeight) / 2, kPictureWidth, kPictureHeight, picture, 0, 0,
           SRCCOPY);

  HGDIOBJ oldFont = SelectObject(dc, GroupDialogFontOrSystem());
  TEXTMETRICA metrics = {};
  GetTextMetricsA(dc, &metrics);
  RECT textArea = {item.left + kPictureWidth, item.top, item.right, item.bottom};
  std::string text = std::string(" ") + DescriptionOf(static_cast<ItemRef>(request.itemData));
  ExtTextOutA(dc, textArea.left, item.top + (itemHeight - metrics.tmHeight) / 2, ETO_OPAQUE | ETO_CLIPPED, &textArea,
              text.c_str(), static_cast<UINT>(text.size()), nullptr);
  SelectObject(dc, oldFont);
}

void DrawItemBody(const DRAWITEMSTRUCT& request) {
  bool selected = (request.itemState & ODS_SELECTED) != 0;
  COLORREF oldText = 0, oldBack = 0;
  if (selected) {
    SelectionColours colours = EntryListSelectionColours();
    oldText = SetTextColor(request.hDC, colours.highlightText);
    oldBack = SetBkColor(request.hDC, colours.highlight);
  }
  if (g_shell.store.persons) DrawPictureAndText(request);
  if (selected) {
    SetTextColor(request.hDC, oldText);
    SetBkColor(request.hDC, oldBack);
  }
}

}  // namespace

void MakePersonItemResources() {
  if (!GroupDialogFont.exists()) GroupDialogFont.Make();
  personPicture.Load();
}

void ReleasePersonItemResources() {
  personPicture.Release();
  GroupDialogFont.Release();
}

bool HasGroupDialogFont() { return GroupDialogFont.exists(); }
HFONT GroupDialogFontOrSystem() { return GroupDialogFont.OrSystem(); }

void MeasurePersonItem(HWND dialog, MEASUREITEMSTRUCT* request) {
  int textHeight = ItemTextHeight(dialog);
  int pictureHeight = personPicture.height();
  request->itemHeight = static_cast<UINT>(textHeight > pictureHeight ? textHeight : pictureHeight);
  if (request->itemHeight == 0) request->itemHeight = kPictureHeight;
}

void DrawPersonItem(const DRAWITEMSTRUCT* request) {
  if (!request || request->itemID == static_cast<UINT>(-1)) return;
  if (request->itemAction & (ODA_DRAWENTIRE | ODA_SELECT)) DrawItemBody(*request);
  if ((request->itemAction & ODA_FOCUS) || (request->itemState & ODS_FOCUS)) DrawFocusRect(request->hDC, &request->rcItem);
}
