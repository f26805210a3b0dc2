// Undo merge: the merged persons back in their slots and in the list, the survivors' former
// values, the member lists and the recipients; both files written once.
#include "app/book_files.h"
#include "app/shell_state.h"
#include "app/panes/panes.h"
#include "dialogs/duplicates.h"
#include "dialogs/editing.h"
#include "handoff/recipient_box.h"
#include "sync/sync_engine.h"
#include "sync/sync_shell_win.h"
#include "win/list_box_win.h"

namespace {

void UndoMerge(HWND mainWindow) {
  MergeUndo undo = std::move(*g_shell.mergeUndo);
  g_shell.mergeUndo.reset();
  AddressStore& store = g_shell.store;
  std::vector<PersonRename> renames = MergeRenames(store, undo);
  if (!RestoreMerge(store, undo)) return;
  NoteUndoneMergeForSync(undo, renames);
  SavePersonFile(store);
  SaveGroupFile(store);
  std::vector<ItemRef> restored;
  for (const auto& kept : undo.survivors) restored.push_back(MakeItemRef(kept.slot, kPersonItem));
  for (const auto& placed : undo.entries) restored.push_back(placed.entry);
  KeepEntriesInView(restored);
  if (HWND list = g_shell.entryList; list && !undo.entries.empty()) {
    PlacedList after = WithPlacedItems(AllItemData(list), undo.entries);
    std::vector<uint32_t> items;
    for (const auto& placed : undo.entries) items.push_back(placed.entry);
    ListRedrawPause pause(list);
    InsertItemsAt(list, after.placedAt, items);
    SelectExactly(list, after.placedAt);
  }
  RepaintNow(g_shell.entryList);
  if (g_shell.recipientList) {
    RefillList(g_shell.recipientList, undo.recipients);
    RepaintNow(g_shell.recipientList);
    UpdateRecipientControls();
  }
  TellFailedSaves(mainWindow);
}

}  // namespace

void UndoLatestChange(HWND mainWindow) {
  if (g_shell.mergeUndo && CanUndoMerge(g_shell.store, *g_shell.mergeUndo))
    UndoMerge(mainWindow);
  else
    UndoDelete(mainWindow);
}
