// Undo delete (command 120): the latest delete's records, members and recipients come back,
// both files are written and the entries return to the list, selected.
#include "app/book_files.h"
#include "app/settings.h"
#include "app/shell_state.h"
#include "app/panes/speaking_list_win.h"
#include "dialogs/delete_undo.h"
#include "app/panes/panes.h"
#include "dialogs/editing.h"
#include "sync/sync_shell_win.h"
#include "win/list_box_win.h"

namespace {

enum : UINT { kUndoRefusedText = 2110, kCaptionText = 101 };

// The placed items back into the list where they stood; true when they should be selected,
// they become the whole selection.
void PutBack(HWND list, const std::vector<DeleteUndo::Placed>& placed, bool select) {
  if (!list || placed.empty()) return;
  PlacedList after = WithPlacedItems(AllItemData(list), placed);
  std::vector<uint32_t> items;
  items.reserve(placed.size());
  for (const auto& item : placed) items.push_back(item.entry);
  {
    ListRedrawPause pause(list);
    InsertItemsAt(list, after.placedAt, items);
    if (!select) return;
    SelectExactly(list, after.placedAt);
    SendMessageA(list, LB_SETCARETINDEX, static_cast<WPARAM>(after.placedAt.front()), FALSE);
  }
  NotifySelectionChanged(list);
}

EntryOrder CurrentOrder() {
  if (g_shell.lastSort == kCmdSortByMail)
    return g_shell.mailSortToggle == 2 ? EntryOrder::ByMailDescending : EntryOrder::ByMailAscending;
  return g_shell.nameSortToggle == 2 ? EntryOrder::ByNameDescending : EntryOrder::ByNameAscending;
}

// Where the entries go back: where they stood, or, when the list was sorted since the delete,
// their places in its order now.
std::vector<DeleteUndo::Placed> EntryPlaces(const DeleteUndo& undo) {
  if (undo.listSorts == g_shell.listSorts || !g_shell.lastSort || !g_shell.entryList) return undo.entries;
  std::vector<ItemRef> entries;
  for (const auto& placed : undo.entries) entries.push_back(placed.entry);
  return PlacesInOrder(g_shell.store, CurrentOrder(), AllItemData(g_shell.entryList), entries);
}

}  // namespace

void UndoDelete(HWND mainWindow) {
  if (!g_shell.deleteUndo) return;
  DeleteUndo undo = std::move(*g_shell.deleteUndo);
  g_shell.deleteUndo.reset();
  AddressStore& store = g_shell.store;
  if (RestoreDeletedEntries(store, undo) != UndoOutcome::Restored) {
    MessageBoxById(mainWindow, kUndoRefusedText, kCaptionText, MB_OK | MB_ICONINFORMATION);
    return;
  }
  NoteUndoneDeleteForSync(undo);
  SavePersonFile(store);
  SaveGroupFile(store);
  std::vector<ItemRef> restored;
  for (const auto& placed : undo.entries) restored.push_back(placed.entry);
  KeepEntriesInView(restored);
  PutBack(g_shell.entryList, EntryPlaces(undo), true);
  PutBack(g_shell.recipientList, undo.recipients, false);
  TellFailedSaves(mainWindow);
}
