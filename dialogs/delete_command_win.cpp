// Delete: flags the selected entries, writes both files and rebuilds the indexes.
#include "app/book_files.h"
#include "app/shell_state.h"
#include "dialogs/editing.h"
#include "dialogs/entry_records.h"
#include "dialogs/list_items_win.h"
#include "store/indexes.h"

void DeleteSelectedEntries(HWND mainWindow, int listId) {
  std::vector<ItemRef> items = [&] {
    HWND list = GetDlgItem(mainWindow, listId);
    return ItemDataAt(list, SelectedPositions(list));
  }();
  if (items.empty()) return;  // nothing selected: no file is written
  AddressStore& store = g_shell.store;
  FlagDeletedEntries(store, items);
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
