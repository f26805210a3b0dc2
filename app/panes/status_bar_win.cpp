// The status bar ("StatusWindowClass"): a framed bar showing the hint of the button under the
// pointer on a slightly darker band, and nothing otherwise.
#include <windows.h>

#include <cstring>

#include "app/settings.h"
#include "app/shell_state.h"
#include "win/framed_panel_win.h"
#include "win/gdi_owners_win.h"
#include "app/panes/panes.h"
#include "app/panes/status_hints.h"

int StatusHintKey = 0;

namespace {

constexpr COLORREF kHintBand = 0xBEBEBE;

void DrawHint(HDC dc, const RECT& r) {
  int stringId = StatusHintString(StatusHintKey);
  if (stringId == 0) return;
  char text[256] = "";
  LoadLocalString(g_shell.instance, stringId, text, sizeof text);
  RECT area = {r.left + 3, r.top + 3, r.right - 3, r.bottom - 3};
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, kHintBand);
  SelectGuard font(dc, g_shell.statusFont);
  ExtTextOutA(dc, area.left, area.top, ETO_OPAQUE, &area, nullptr, 0, nullptr);
  ExtTextOutA(dc, area.left, area.top, ETO_OPAQUE | ETO_CLIPPED, &area, text,
              static_cast<UINT>(std::strlen(text)), nullptr);
}

void Paint(HWND window) {
  PaintDC dc(window);
  DrawFramedPanel(dc.get(), dc.client());
  DrawHint(dc.get(), dc.client());
}

bool IsHintButton(HWND window) {
  if (!window) return false;
  for (HWND button : g_shell.toolbarButtons)
    if (window == button) return true;
  return window == g_shell.toButton || window == g_shell.recipientDeleteButton || window == g_shell.sendButton;
}

}  // namespace

void UpdateStatusHint(HWND underPointer) {
  bool isButton = IsHintButton(underPointer);
  int key = StatusHintKeyFor(isButton ? GetDlgCtrlID(underPointer) : 0, isButton);
  if (key == StatusHintKey) return;
  StatusHintKey = key;
  if (!g_shell.statusBar) return;
  InvalidateRect(g_shell.statusBar, nullptr, TRUE);
  UpdateWindow(g_shell.statusBar);
}

LRESULT CALLBACK StatusBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_PAINT) return DefWindowProcA(window, message, wParam, lParam);
  Paint(window);
  return 1;
}
