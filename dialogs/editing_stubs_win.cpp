// Placeholders until the editing dialogs land.
#include "dialogs/editing.h"

void ShowPersonDialog(HWND) {}
void ShowGroupDialog(HWND) {}
void ShowProperties(HWND, int) {}
void DeleteSelectedEntries(HWND, int) {}
void RemoveSelectedItems(HWND, int) {}
void ShowFindDialog(HWND) {}
void MeasurePersonItem(HWND, MEASUREITEMSTRUCT* request) { request->itemHeight = 16; }
void DrawPersonItem(const DRAWITEMSTRUCT*) {}
