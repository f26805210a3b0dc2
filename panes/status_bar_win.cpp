// The status bar ("StatusWindowClass"): a framed bar showing the hint of the button under the
// pointer on a slightly darker band, and nothing otherwise.
#include <windows.h>

#include <cstring>

#include "app/settings.h"
#include "app/shell_state.h"
#include "panes/gdi_handles.h"
#include "panes/panes.h"
#include "panes/status_hints.h"

int StatusHintKey = 0;

namespace {

constexpr COLORREF kFrame = 0x6E6E6E;
constexpr COLORREF kHintBand = 0xBEBEBE;

void DrawFrame(HDC dc, const RECT& r) {
  GdiObject framePen(CreatePen(PS_SOLID, 1, kFrame));
  {
    SelectGuard pen(dc, framePen.get());
    SelectGuard brush(dc, GetStockObject(LTGRAY_BRUSH));
    Rectangle(dc, r.left, r.top, r.right, r.bottom);
    DrawLine(dc, r.left + 2, r.top + 2, r.right - 2, r.top + 2);
    DrawLine(dc, r.left + 2, r.top + 2, r.left + 2, r.bottom - 3);
  }
  SelectGuard pen(dc, GetStockObject(WHITE_PEN));
  DrawLine(dc, r.left + 2, r.bottom - 3, r.right - 2, r.bottom - 3);
  DrawLine(dc, r.right - 2, r.top + 2, r.right - 2, r.bottom - 3);
}

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
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT client;
  GetClientRect(window, &client);
  DrawFrame(dc, client);
  DrawHint(dc, client);
  EndPaint(window, &paint);
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
