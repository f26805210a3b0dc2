#include "app/main_window.h"

#include "app/book_files.h"
#include "app/help.h"
#include "app/layout.h"
#include "app/pane_focus.h"
#include "app/settings.h"
#include "app/shell_state.h"
#include "app/startup.h"
#include "app/panes/panes.h"
#include "app/panes/search_box_win.h"

namespace {

void OnCreate(HWND window) {
  g_shell.mainWindow = window;
  g_shell.statusFont = CreateFontFromSet(StatusFontSet);
  CreateEntryListResources(window);
  CreatePanes(window);
  SetEntryListFont(g_shell.entryList);
  MakeEntryListSpeak(g_shell.entryList);
  MakeEntryListTellWhyEmpty(g_shell.entryList);
  FillEntryList(g_shell.entryList);
  RunCommandEnabling(window);
}

void OnDestroy(HWND window) {
  CloseHelp(window);
  if (g_shell.statusFont) DeleteObject(g_shell.statusFont);
  g_shell.statusFont = nullptr;
  PostQuitMessage(0);
}

bool KeepsNormalPlacement(HWND window) { return !IsZoomed(window) && !IsIconic(window); }

// Writes the settings and ends the window; the unsaved changes were settled before.
void CloseNow(HWND window) {
  WriteColumnWidths();
  WriteZoom(window);
  ReleaseEntryListResources();
  DestroyWindow(window);
}

void OnClose(HWND window) {
  if (!SaveBeforeClose(window)) return;  // the user keeps the program for the unsaved changes
  CloseNow(window);
}

// An open dialog refuses the end of the log-on; so does the user who keeps unsaved changes.
LRESULT OnQueryEndSession(HWND window) {
  if (g_shell.DialogActive > 0) return FALSE;
  return SaveBeforeLogOff(window) ? TRUE : FALSE;
}

// A right press over the entry list opens the popup on the existing selection.
void OnRightButtonDown(HWND window, HWND underCursor) {
  RunCommandEnabling(window);
  if (!underCursor || underCursor != g_shell.entryList || !g_shell.popupMenu) return;
  POINT at;
  GetCursorPos(&at);
  TrackPopupMenu(GetSubMenu(g_shell.popupMenu, 0), 0, at.x, at.y, 0, window, nullptr);
}

LRESULT OnSetCursor(HWND window, WPARAM wParam, LPARAM lParam) {
  HWND underCursor = reinterpret_cast<HWND>(wParam);
  if (HIWORD(lParam) == WM_RBUTTONDOWN) OnRightButtonDown(window, underCursor);
  UpdateStatusHint(underCursor);
  return DefWindowProcA(window, WM_SETCURSOR, wParam, lParam);
}

void OnDrawItem(const DRAWITEMSTRUCT* request) {
  if (g_shell.store.persons || g_shell.store.groups) DrawEntryItem(request);
  DrawColumnSeparators(g_shell.entryList);
}

}  // namespace

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      OnCreate(window);
      return 0;
    case WM_DESTROY:
      OnDestroy(window);
      return 0;
    case WM_MOVE:
      if (KeepsNormalPlacement(window)) WritePlacement(window);
      return 0;
    case WM_SIZE:
      LayoutPanes(window);
      if (wParam != SIZE_MAXIMIZED && wParam != SIZE_MINIMIZED) WritePlacement(window);
      return 0;
    case WM_ACTIVATE:
      OnMainWindowActivation(window, wParam);
      return 0;
    case WM_CLOSE:
      OnClose(window);
      return 1;
    case WM_QUERYENDSESSION:
      return OnQueryEndSession(window);
    case WM_ENDSESSION:
      if (wParam) CloseNow(window);  // the query has settled the unsaved changes
      return 0;
    case WM_SETCURSOR:
      return OnSetCursor(window, wParam, lParam);
    case WM_DRAWITEM:
      OnDrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return 0;
    case WM_MEASUREITEM:
      MeasureEntryItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
      return 0;
    case WM_COMMAND:
      if (HandleCommand(window, wParam)) return 0;
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}
