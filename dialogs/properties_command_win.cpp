// Properties: opens the dialog of the topmost selected entry of a list.
#include "app/shell_state.h"
#include "dialogs/dialog_runs_win.h"
#include "dialogs/dialog_support_win.h"
#include "dialogs/editing.h"
#include "dialogs/list_items_win.h"

void ShowProperties(HWND owner, int listId) {
  DialogActiveScope active;
  EditedPersonSlot = -1;
  HWND list = GetDlgItem(owner, listId);
  std::vector<int> selected = SelectedPositions(list);
  if (selected.empty()) return;
  ItemRef item = ItemDataAt(list, selected.front());
  if (ItemKindOf(item) == kPersonItem) {
    EditedPersonSlot = static_cast<int32_t>(ItemSlot(item));
    RunPersonDialog(owner);
  } else {
    EditedGroupSlot = static_cast<int32_t>(ItemSlot(item));
    RunGroupDialog(owner);
  }
}
