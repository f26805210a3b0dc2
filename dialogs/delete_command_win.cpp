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
    return ItemsAt(list, SelectedPositions(list));
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

// From the bottom up, so that the positions still to go stay valid.
void RemoveSelectedItems(HWND window, int listId) {
  HWND list = GetDlgItem(window, listId);
  std::vector<int> positions = SelectedPositions(list);
  for (auto it = positions.rbegin(); it != positions.rend(); ++it)
    SendMessageA(list, LB_DELETESTRING, static_cast<WPARAM>(*it), 0);
}
