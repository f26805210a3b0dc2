// Win32 entry points of the entry-editing dialogs and commands.
#pragma once

#include <windows.h>

#include <vector>

#include "app/panes/item_ref.h"

void ShowPersonDialog(HWND owner);               // new person (EditedPersonSlot -1)
void ShowGroupDialog(HWND owner);                // new group (EditedGroupSlot -1)
void ShowProperties(HWND owner, int listId);     // dialog of the first selected entry of that list
// Flags the selected entries deleted, writes both data files and rebuilds the indexes; with
// nothing selected it writes nothing. Command 105 drops the recipients before it and removes
// the list items (RemoveSelectedItems) after it. What it removed is kept for Undo delete, with
// the recipient list as it was before the drop.
void DeleteSelectedEntries(HWND mainWindow, int listId, const std::vector<ItemRef>& recipientsBefore = {});
// Brings back what the latest delete removed, while the book has not changed since (command 120).
void UndoDelete(HWND mainWindow);
void RemoveSelectedItems(HWND window, int listId);  // the list's selected items, no record touched
void ShowFindDialog(HWND mainWindow);
void MeasurePersonItem(HWND dialog, MEASUREITEMSTRUCT* request);
void DrawPersonItem(const DRAWITEMSTRUCT* request);
