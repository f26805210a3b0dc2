// Placeholders until the panes land; each is replaced by the real one in its own file.
#include "panes/panes.h"

bool CreateEntryListResources(HWND) { return false; }
void SetEntryListFont(HWND) {}
void FillEntryList(HWND) {}
void InsertPersonItem(HWND, int) {}
void InsertGroupItem(HWND, int) {}
void MeasureEntryItem(MEASUREITEMSTRUCT* request) { request->itemHeight = 16; }
void DrawEntryItem(const DRAWITEMSTRUCT*) {}
void DrawColumnSeparators(HWND) {}
void ReleaseEntryListResources() {}
HFONT EntryListFont() { return nullptr; }
HDC PersonPictureDC() { return nullptr; }
LRESULT CALLBACK ColumnHeaderProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }
void UpdateDragZones() {}
HFONT ColumnHeaderFont() { return nullptr; }
LRESULT CALLBACK ToolbarProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }
bool AttachToolbarTooltips(HWND) { return false; }
void UpdateStatusHint(HWND) {}
LRESULT CALLBACK StatusBarProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }
