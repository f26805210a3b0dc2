// Placeholders until the panes land; each is replaced by the real one in its own file.
#include "panes/panes.h"

LRESULT CALLBACK ColumnHeaderProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }
void UpdateDragZones() {}
HFONT ColumnHeaderFont() { return nullptr; }
LRESULT CALLBACK ToolbarProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }
bool AttachToolbarTooltips(HWND) { return false; }
void UpdateStatusHint(HWND) {}
LRESULT CALLBACK StatusBarProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }
