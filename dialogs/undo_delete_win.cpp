// Undo delete (command 120): the latest delete's records, members and recipients come back,
// both files are written and the entries return to the list, selected.
#include "app/book_files.h"
#include "app/shell_state.h"
#include "dialogs/delete_undo.h"
#include "app/panes/panes.h"
#include "dialogs/editing.h"
#include "win/list_box_win.h"

namespace {

// The placed items back into the list where they stood; true when they should be selected,
// they become the whole selection.
void PutBack(HWND list, const std::vector<DeleteUndo::Placed>& placed, bool select) {
  if (!list || placed.empty()) return;
  PlacedList after = WithPlacedItems(AllItemData(list), placed);
  std::vector<uint32_t> items;
  items.reserve(placed.size());
  for (const auto& item : placed) items.push_back(item.entry);
  ListRedrawPause pause(list);
  InsertItemsAt(list, after.placedAt, items);
  if (!select) return;
  SelectExactly(list, after.placedAt);
  SendMessageA(list, LB_SETCARETINDEX, static_cast<WPARAM>(after.placedAt.front()), FALSE);
}

}  // namespace

void UndoDelete(HWND mainWindow) {
  if (!g_shell.deleteUndo) return;
  DeleteUndo undo = std::move(*g_shell.deleteUndo);
  g_shell.deleteUndo.reset();
  AddressStore& store = g_shell.store;
  if (!RestoreDeletedEntries(store, undo)) return;
  SavePersonFile(store);
  SaveGroupFile(store);
  std::vector<ItemRef> restored;
  for (const auto& placed : undo.entries) restored.push_back(placed.entry);
  KeepEntriesInView(restored);
  PutBack(g_shell.entryList, undo.entries, true);
  PutBack(g_shell.recipientList, undo.recipients, false);
  TellFailedSaves(mainWindow);
}
