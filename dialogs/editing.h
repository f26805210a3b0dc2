// Win32 entry points of the entry-editing dialogs and commands.
#pragma once

#include <windows.h>

void ShowPersonDialog(HWND owner);               // new person (EditedPersonSlot -1)
void ShowGroupDialog(HWND owner);                // new group (EditedGroupSlot -1)
void ShowProperties(HWND owner, int listId);     // dialog of the first selected entry of that list
// Flags the selected entries deleted, writes both data files and rebuilds the indexes; with
// nothing selected it writes nothing. Command 105 drops the recipients before it and removes
// the list items (RemoveSelectedItems) after it.
void DeleteSelectedEntries(HWND mainWindow, int listId);
void RemoveSelectedItems(HWND window, int listId);  // the list's selected items, no record touched
void ShowFindDialog(HWND mainWindow);
void MeasurePersonItem(HWND dialog, MEASUREITEMSTRUCT* request);
void DrawPersonItem(const DRAWITEMSTRUCT* request);
