// The recipient box ("ToBoxClass"): three buttons and the owner-drawn list of recipients.
#include <windows.h>

#include <algorithm>
#include <new>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "app/book_files.h"
#include "app/pane_focus.h"
#include "app/startup.h"
#include "app/shell_state.h"
#include "app/panes/item_ref.h"
#include "app/panes/speaking_list_win.h"
#include "app/panes/spoken_names.h"
#include "handoff/recipient_box.h"
#include "sync/sync_shell_win.h"
#include "handoff/recipient_changes.h"
#include "win/dialog_frame_win.h"
#include "win/framed_panel_win.h"
#include "win/gdi_owners_win.h"
#include "win/list_box_win.h"
#include "win/owner_drawn_items_win.h"
#include "win/picture_surface_win.h"
#include "win/text_metrics_win.h"

namespace {

constexpr int kPictureWidth = 22;
constexpr int kPictureHeight = 16;
constexpr int kPersonPictureId = 118;
constexpr DWORD kRecipientListStyle = 0x40210811;  // child, vscroll, tab stop, notify, owner-drawn, extended sel.

// What the box holds for its lifetime besides the windows in g_shell.
struct RecipientBoxResources {
  OwnedFont font;                // none: the stock system font stands in
  PictureSurface personPicture;  // loaded when the list measures its items
  SelectionColours colours;
};
RecipientBoxResources g_box;

HFONT RecipientFont() {
  return g_box.font ? g_box.font.get() : static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
}

// ---- list contents -------------------------------------------------------------------------

void RemoveSelectedRecipients() { DeletePositions(g_shell.recipientList, SelectedPositions(g_shell.recipientList)); }

// ---- recipient texts ------------------------------------------------------------------------

template <size_t N>
std::string_view FieldText(const char (&field)[N]) {
  return std::string_view(field, strnlen(field, N));
}

// What a recipient line names: a person's description and address, or a group's name (no
// address); false when the record cannot be read.
bool RecipientFields(ItemRef ref, std::string_view& name, std::string_view& email) {
  uint32_t slot = ItemSlot(ref);
  const AddressStore& store = g_shell.store;
  if (ItemKindOf(ref) == kPersonItem) {
    if (!store.persons || slot >= store.persons->slots.size()) return false;
    const PersonRecord& p = (*store.persons)[slot];
    name = FieldText(p.description);
    email = FieldText(p.email);
  } else {
    if (!store.groups || slot >= store.groups->slots.size()) return false;
    name = FieldText((*store.groups)[slot].name);
    email = {};
  }
  return true;
}

// " D<A>" for a person, " name" for a group; false when the record cannot be read.
bool RecipientText(ItemRef ref, std::string& text) {
  std::string_view name, email;
  if (!RecipientFields(ref, name, email)) return false;
  text.assign(" ").append(name);
  if (ItemKindOf(ref) == kPersonItem) text.append("<").append(email).append(">");
  return true;
}

// A reader hears the description and the address, or a group's name and the word for a group.
std::string RecipientSpokenName(uint32_t itemData) {
  std::string_view name, email;
  if (!RecipientFields(itemData, name, email)) return {};
  if (ItemKindOf(itemData) == kPersonItem) return JoinSpokenTexts({name, email});
  std::string group = LocalizedText(162);
  return JoinSpokenTexts({name, group});
}

std::string_view RecipientDescription(uint32_t itemData) {
  std::string_view name, email;
  return RecipientFields(itemData, name, email) ? name : std::string_view();
}

std::string RecipientListName(HWND) { return LocalizedText(161); }

const ListSpeech kRecipientSpeech = {RecipientListName, RecipientSpokenName, RecipientDescription, false};

// ---- creation and destruction ---------------------------------------------------------------

HWND CreateChild(HWND box, const char* windowClass, const char* text, DWORD style, int id) {
  return CreateWindowExA(0, windowClass, text, style, 0, 0, 1, 1, box,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), g_shell.instance, nullptr);
}

void SetChildFonts(HFONT font) {
  for (HWND child : {g_shell.toButton, g_shell.recipientDeleteButton, g_shell.sendButton, g_shell.recipientList})
    SetControlFont(child, font, true);
}

void OnCreate(HWND box) {
  g_shell.recipientBox = box;
  g_box.colours = ReadSelectionColours();
  const char* sendCaption = g_shell.StartMode == 1 ? "Set" : "Mail";
  g_shell.toButton = CreateChild(box, "BUTTON", ">>To", WS_CHILD | BS_PUSHBUTTON, kToButtonId);
  g_shell.recipientDeleteButton =
      CreateChild(box, "BUTTON", "<<Delete", WS_CHILD | BS_PUSHBUTTON, kRecipientDeleteId);
  g_shell.sendButton = CreateChild(box, "BUTTON", sendCaption, WS_CHILD | BS_PUSHBUTTON, kSendButtonId);
  g_shell.recipientList = CreateChild(box, "listbox", "", kRecipientListStyle, kRecipientListId);
  MakeListSpeak(g_shell.recipientList, kRecipientSpeech);
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
  PaintDC dc(box);
  DrawFramedPanel(dc.get(), dc.client());
  if (!g_shell.recipientList) return;
  RECT lr;
  GetWindowRect(g_shell.recipientList, &lr);
  MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&lr), 2);
  OwnedPen grey(CreatePen(PS_SOLID, 1, kPanelFrameGrey));
  SelectGuard pen(dc.get(), grey.get());
  SelectGuard brush(dc.get(), GetStockObject(LTGRAY_BRUSH));
  Rectangle(dc.get(), lr.left - 1, lr.top - 1, lr.right + 1, lr.bottom + 1);
}

// ---- list items -----------------------------------------------------------------------------

// Asked while the list is being created, before its handle is known: measured on the box.
void MeasureRecipient(HWND box, MEASUREITEMSTRUCT* request) {
  g_box.personPicture.Load(g_shell.instance, kPersonPictureId);
  int height = PaddedTextHeight(box, RecipientFont());
  request->itemHeight = static_cast<UINT>(std::max(kPictureHeight, height));
}

void DrawRecipientContent(const DRAWITEMSTRUCT& request) {
  std::string text;
  if (!RecipientText(static_cast<ItemRef>(request.itemData), text)) return;
  HDC dc = request.hDC;
  const RECT& item = request.rcItem;
  int itemHeight = item.bottom - item.top;
  g_box.personPicture.Draw(dc, item.left, item.top + (itemHeight - kPictureHeight) / 2, kPictureWidth, kPictureHeight);
  SelectGuard font(dc, RecipientFont());
  TEXTMETRICA metrics = {};
  int textHeight = GetPaddedTextMetrics(dc, &metrics) ? metrics.tmHeight : 0;
  RECT textRect = {item.left + kPictureWidth, item.top, item.right, item.bottom};
  ExtTextOutA(dc, textRect.left, item.top + (itemHeight - textHeight) / 2, ETO_OPAQUE | ETO_CLIPPED,
              &textRect, text.c_str(), static_cast<UINT>(text.size()), nullptr);
}

void DrawRecipient(const DRAWITEMSTRUCT* request) { DrawOwnerDrawnItem(*request, g_box.colours, DrawRecipientContent); }

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
      CancelSyncForHandoff();
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
    std::vector<ItemRef> selected = ItemDataAt(g_shell.entryList, SelectedPositions(g_shell.entryList));
    AppendItems(g_shell.recipientList, RecipientsToAppend(AllItemData(g_shell.recipientList), selected));
  } catch (const std::bad_alloc&) {
    // no room for the selection: the command does nothing
  }
}

// As walking the selected entries from the last to the first and deleting, for each, the first
// recipient holding it.
void DropDeletedRecipients() {
  if (!g_shell.recipientBox || !g_shell.recipientList || !g_shell.entryList) return;
  try {
    std::vector<ItemRef> deleted = ItemDataAt(g_shell.entryList, SelectedPositions(g_shell.entryList));
    std::reverse(deleted.begin(), deleted.end());
    DeletePositions(g_shell.recipientList, RecipientPositionsToDrop(AllItemData(g_shell.recipientList), deleted));
  } catch (const std::bad_alloc&) {
  }
}

void UpdateRecipientControls() {
  if (!g_shell.recipientBox) return;
  bool entriesSelected = SelectedCount(g_shell.entryList) > 0;
  bool recipientsSelected = SelectedCount(g_shell.recipientList) > 0;
  bool recipientsListed = ListCount(g_shell.recipientList) > 0;
  UINT toState = MF_BYCOMMAND | (entriesSelected ? MF_ENABLED : MF_GRAYED);
  if (HMENU mainMenu = GetMenu(GetParent(g_shell.recipientBox))) EnableMenuItem(mainMenu, kCmdTo, toState);
  if (g_shell.popupMenu) EnableMenuItem(g_shell.popupMenu, kCmdTo, toState);
  if (g_shell.toButton) EnableWindow(g_shell.toButton, entriesSelected);
  if (g_shell.recipientDeleteButton) EnableWindow(g_shell.recipientDeleteButton, recipientsSelected);
  if (g_shell.sendButton) EnableWindow(g_shell.sendButton, recipientsListed);
  MoveFocusOffDisabledPane();
}
