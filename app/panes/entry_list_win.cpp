// The entry list: one owner-drawn line per person or group, read from the records at draw time.
#include <windows.h>

#include "app/font_specs.h"
#include "app/shell_state.h"
#include "app/startup.h"
#include "app/panes/entry_texts.h"
#include "app/panes/speaking_list_win.h"
#include "app/panes/spoken_names.h"
#include "win/gdi_owners_win.h"
#include "win/list_box_win.h"
#include "win/owner_drawn_items_win.h"
#include "win/picture_surface_win.h"
#include "win/text_metrics_win.h"
#include "app/panes/panes.h"

namespace {

constexpr int kPictureWidth = 22;
constexpr int kPictureHeight = 16;
constexpr int kPersonPictureId = 118;
constexpr int kGroupPictureId = 119;

struct EntryListResources {
  SelectionColours colours;
  HFONT font = nullptr;
  PictureSurface person;
  PictureSurface group;
};

EntryListResources g_list;

void DrawColumnText(HDC dc, const std::string& text, int left, int right, const RECT& item) {
  if (text.empty() || right - left == 0) return;
  RECT clip = {left, item.top, right, item.bottom};
  ExtTextOutA(dc, left, item.top + 1, ETO_OPAQUE | ETO_CLIPPED, &clip, text.data(), (UINT)text.size(), nullptr);
}

void DrawItemContent(const DRAWITEMSTRUCT& request) {
  EntryTexts texts = ReadEntryTexts(g_shell.store, (ItemRef)request.itemData);
  if (!texts.found) return;
  HDC dc = request.hDC;
  const RECT& item = request.rcItem;
  ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &item, "", 0, nullptr);
  const int* b = g_shell.headerCells.b;
  const PictureSurface& picture = texts.isGroup ? g_list.group : g_list.person;
  picture.Draw(dc, (b[1] - b[0] - kPictureWidth) / 2, item.top, kPictureWidth, kPictureHeight);
  DrawColumnText(dc, texts.name, b[1], b[2], item);
  DrawColumnText(dc, texts.email, b[2], b[3], item);
  DrawColumnText(dc, texts.memo, b[3], b[4], item);
}

std::string EntryListName(HWND) { return LocalizedText(160); }

std::string EntryItemName(uint32_t itemData) {
  return SpokenEntryName(ReadEntryTexts(g_shell.store, itemData), LocalizedText(162));
}

std::string_view EntryListDescription(uint32_t itemData) { return EntryDescription(g_shell.store, itemData); }

const ListSpeech kEntryListSpeech = {EntryListName, EntryItemName, EntryListDescription, true};

void AddSlots(std::vector<uint32_t>& items, uint32_t used, uint32_t kind) {
  for (uint32_t slot = 0; slot < used; ++slot) items.push_back(MakeItemRef(slot, kind));
}

void ShowItems(HWND entryList, const std::vector<uint32_t>& items) {
  {
    ListRedrawPause pause(entryList, ListRedrawPause::Repaint::kByCaller);
    RefillList(entryList, items);
  }
  ShowWindow(entryList, SW_SHOWNA);
  RepaintNow(entryList);
}

void InsertItemAtTop(HWND entryList, ItemRef item, bool keepInView) {
  EntryView& view = g_shell.entryView;
  if (view.Narrowed()) view.AddAtTop(item, keepInView);
  SendMessageA(entryList, LB_INSERTSTRING, 0, (LPARAM)item);
  NotifyWinEvent(EVENT_OBJECT_REORDER, entryList, OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace

bool CreateEntryListResources(HWND) {
  g_list.colours = ReadSelectionColours();
  g_list.font = CreateFontFromSet(StandardFontSet);
  if (g_list.person.Load(g_shell.instance, kPersonPictureId) && g_list.group.Load(g_shell.instance, kGroupPictureId))
    return true;
  g_list.person.Release();
  g_list.group.Release();
  return false;
}

void MakeEntryListSpeak(HWND entryList) { MakeListSpeak(entryList, kEntryListSpeech); }

void SetEntryListFont(HWND entryList) {
  if (g_list.font) SendMessageA(entryList, WM_SETFONT, (WPARAM)g_list.font, FALSE);
}

void FillEntryList(HWND entryList) {
  const AddressStore& store = g_shell.store;
  std::vector<uint32_t> items;
  if (store.persons) AddSlots(items, store.persons->used, kPersonItem);
  if (store.groups) AddSlots(items, store.groups->used, kGroupItem);
  ShowEntries(entryList, items);
}

void ShowEntries(HWND entryList, const std::vector<uint32_t>& items) {
  EntryView& view = g_shell.entryView;
  if (view.Narrowed()) {
    view.SetWhole(items);  // a sort sorts what is shown
    ShowNarrowedEntries(entryList);
    return;
  }
  ShowItems(entryList, items);
}

void ShowNarrowedEntries(HWND entryList) { ShowItems(entryList, g_shell.entryView.Shown(g_shell.store)); }

// A new entry made while the search box holds words stays in view until the words change.
void InsertPersonItem(HWND entryList, int slot) { InsertItemAtTop(entryList, MakeItemRef((uint32_t)slot, kPersonItem), true); }
void InsertGroupItem(HWND entryList, int slot) { InsertItemAtTop(entryList, MakeItemRef((uint32_t)slot, kGroupItem), true); }

// Imported entries show while the search box holds words only when they match.
void InsertImportedItems(HWND entryList, const std::vector<uint32_t>& persons, const std::vector<uint32_t>& groups) {
  EntryView& view = g_shell.entryView;
  if (!view.Narrowed()) {
    InsertItemsAtTop(entryList, MakeItemRefs(persons, kPersonItem));
    for (uint32_t group : groups) InsertItemAtTop(entryList, MakeItemRef(group, kGroupItem), false);
    return;
  }
  for (uint32_t slot : persons) view.AddAtTop(MakeItemRef(slot, kPersonItem), false);
  for (uint32_t slot : groups) view.AddAtTop(MakeItemRef(slot, kGroupItem), false);
  ShowNarrowedEntries(entryList);
}

void InsertPersonItems(HWND entryList, const std::vector<uint32_t>& slots) {
  InsertImportedItems(entryList, slots, {});
}

void KeepEntriesInView(const std::vector<ItemRef>& items) {
  if (!g_shell.entryView.Narrowed()) return;
  for (ItemRef item : items) g_shell.entryView.Keep(item);
}

void ShowEditedEntry(ItemRef item) {
  KeepEntriesInView({item});
  for (HWND list : {g_shell.entryList, g_shell.recipientList}) {
    RepaintNow(list);
    NotifyItemRenamed(list, item);
  }
}

void MeasureEntryItem(MEASUREITEMSTRUCT* request) {
  int height = PaddedTextHeight(g_shell.entryList, g_list.font);
  if (height == 0) height = kPictureHeight;
  if (g_list.person && height < kPictureHeight) height = kPictureHeight;
  request->itemHeight = (UINT)height;
}

void DrawEntryItem(const DRAWITEMSTRUCT* request) { DrawOwnerDrawnItem(*request, g_list.colours, DrawItemContent); }

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
  g_list.person.Release();
  g_list.group.Release();
  if (g_shell.entryList) SendMessageA(g_shell.entryList, WM_SETFONT, (WPARAM)GetStockObject(SYSTEM_FONT), FALSE);
  if (g_list.font) DeleteObject(g_list.font);
  g_list.font = nullptr;
}

HFONT EntryListFont() { return g_list.font; }
SelectionColours EntryListSelectionColours() { return g_list.colours; }
