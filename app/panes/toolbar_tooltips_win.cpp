// Tooltips for the toolbar buttons: one tooltip window with a tool per button, fed with the
// buttons' mouse messages by a message hook of the user-interface thread.
#include <windows.h>
#include <commctrl.h>

#include <cstring>

#include "app/shell_state.h"
#include "app/panes/panes.h"

HWND TooltipWindow = nullptr;
HHOOK TooltipHook = nullptr;

namespace {

bool IsRelayedMouseMessage(UINT message) {
  return message == WM_MOUSEMOVE || message == WM_LBUTTONDOWN || message == WM_LBUTTONUP ||
         message == WM_RBUTTONDOWN || message == WM_RBUTTONUP;
}

LRESULT CALLBACK RelayToTooltip(int code, WPARAM wParam, LPARAM lParam) {
  const MSG* taken = reinterpret_cast<const MSG*>(lParam);
  if (g_shell.toolbar && code >= 0 && taken && IsChild(g_shell.toolbar, taken->hwnd) &&
      IsRelayedMouseMessage(taken->message) && TooltipWindow) {
    MSG copy = {};
    copy.hwnd = taken->hwnd;
    copy.message = taken->message;
    copy.wParam = taken->wParam;
    copy.lParam = taken->lParam;
    SendMessageA(TooltipWindow, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&copy));
  }
  return CallNextHookEx(TooltipHook, code, wParam, lParam);
}

BOOL CALLBACK AddButtonTool(HWND child, LPARAM toolbar) {
  char className[16] = "";
  GetClassNameA(child, className, sizeof className);
  if (std::strcmp(className, "Button") != 0) return TRUE;
  TOOLINFOA tool = {};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND;
  tool.hwnd = reinterpret_cast<HWND>(toolbar);
  tool.uId = reinterpret_cast<UINT_PTR>(child);
  tool.lpszText = LPSTR_TEXTCALLBACKA;
  SendMessageA(TooltipWindow, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  return TRUE;
}

}  // namespace

bool AttachToolbarTooltips(HWND toolbar) {
  TooltipWindow = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, toolbar, nullptr, g_shell.instance, nullptr);
  if (!TooltipWindow) return false;
  if (!EnumChildWindows(toolbar, AddButtonTool, reinterpret_cast<LPARAM>(toolbar))) return false;
  TooltipHook = SetWindowsHookExA(WH_GETMESSAGE, RelayToTooltip, nullptr, GetCurrentThreadId());
  return TooltipHook != nullptr;
}
