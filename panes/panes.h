// Win32 entry points of the main window's panes: entry list, column header, toolbar, status bar.
#pragma once

#include <windows.h>

// Entry list
bool CreateEntryListResources(HWND mainWindow);
void SetEntryListFont(HWND entryList);
void FillEntryList(HWND entryList);
void InsertPersonItem(HWND entryList, int slot);
void InsertGroupItem(HWND entryList, int slot);
void MeasureEntryItem(MEASUREITEMSTRUCT* request);
void DrawEntryItem(const DRAWITEMSTRUCT* request);
void DrawColumnSeparators(HWND entryList);
void ReleaseEntryListResources();
HFONT EntryListFont();              // none when it could not be made
HDC PersonPictureDC();              // memory surface holding bitmap 118, or none
// COLOR_HIGHLIGHT and COLOR_HIGHLIGHTTEXT as read once when the entry list's resources were made.
struct SelectionColours {
  COLORREF highlight;
  COLORREF highlightText;
};
SelectionColours EntryListSelectionColours();

// Column header ("InBoxItemClass")
LRESULT CALLBACK ColumnHeaderProc(HWND, UINT, WPARAM, LPARAM);
void UpdateDragZones();
HFONT ColumnHeaderFont();

// Toolbar ("ToolBarClass") and tooltips
LRESULT CALLBACK ToolbarProc(HWND, UINT, WPARAM, LPARAM);
bool AttachToolbarTooltips(HWND toolbar);
void UpdateStatusHint(HWND underPointer);

// Status bar ("StatusWindowClass")
LRESULT CALLBACK StatusBarProc(HWND, UINT, WPARAM, LPARAM);
