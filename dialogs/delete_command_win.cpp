// Delete: flags the selected entries, writes both files and rebuilds the indexes, keeping what
// it removed for Undo delete.
#include "app/book_files.h"
#include "app/shell_state.h"
#include "dialogs/delete_undo.h"
#include "dialogs/editing.h"
#include "dialogs/list_items_win.h"
#include "store/indexes.h"

void DeleteSelectedEntries(HWND mainWindow, int listId, const std::vector<ItemRef>& recipientsBefore) {
  HWND list = GetDlgItem(mainWindow, listId);
  std::vector<int> positions = SelectedPositions(list);
  std::vector<ItemRef> items = ItemDataAt(list, positions);
  if (items.empty()) return;  // nothing selected: no file is written, the earlier undo stays
  AddressStore& store = g_shell.store;
  g_shell.deleteUndo = RecordDelete(store, items, positions, recipientsBefore);
  g_shell.deleteUndo->listSorts = g_shell.listSorts;
  ApplyDelete(store, *g_shell.deleteUndo);
  SavePersonFile(store);
  SaveGroupFile(store);
  FreeIndexes(store);
  BuildIndexes(store);
  TellFailedSaves(mainWindow);
}

// Only the list items go; the records are not touched.
void RemoveSelectedItems(HWND window, int listId) {
  HWND list = GetDlgItem(window, listId);
  DeletePositions(list, SelectedPositions(list));
}
