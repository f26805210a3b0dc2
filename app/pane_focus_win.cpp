#include "app/pane_focus.h"

#include <array>

#include "app/focus_cycle.h"
#include "app/shell_state.h"

namespace {

HWND g_lastPaneFocus = nullptr;  // the focused pane when the main window was last deactivated

// The panes Tab visits, in order; the search box and the entry list when there is no recipient box.
std::array<HWND, 6> CycleMembers() {
  return {g_shell.searchBox, g_shell.entryList, g_shell.toButton, g_shell.recipientDeleteButton, g_shell.sendButton,
          g_shell.recipientList};
}

bool CanTakeFocus(HWND window) { return window && IsWindowVisible(window) && IsWindowEnabled(window); }

int CycleIndexOf(HWND window) {
  std::array<HWND, 6> members = CycleMembers();
  for (size_t i = 0; i < members.size(); ++i)
    if (window && members[i] == window) return static_cast<int>(i);
  return -1;
}

void MoveFocusAlongCycle(int from, bool backwards) {
  std::array<HWND, 6> members = CycleMembers();
  std::vector<bool> open;
  for (HWND member : members) open.push_back(CanTakeFocus(member));
  int next = NextInFocusCycle(open, from, backwards);
  if (next >= 0) SetFocus(members[static_cast<size_t>(next)]);
}

bool IsRecipientButton(HWND window) {
  return window && (window == g_shell.toButton || window == g_shell.recipientDeleteButton || window == g_shell.sendButton);
}

}  // namespace

void OnMainWindowActivation(HWND mainWindow, WPARAM wParam) {
  if (LOWORD(wParam) == WA_INACTIVE) {
    HWND focus = GetFocus();
    if (focus && IsChild(mainWindow, focus)) g_lastPaneFocus = focus;
    return;
  }
  if (HIWORD(wParam)) return;  // minimized: nothing takes the keyboard
  // A toolbar button never keeps the keyboard: it is for the mouse, and not in the Tab cycle.
  bool toolbarButton = g_shell.toolbar && IsChild(g_shell.toolbar, g_lastPaneFocus) &&
                       g_lastPaneFocus != g_shell.searchBox;
  HWND back = g_lastPaneFocus && IsWindow(g_lastPaneFocus) && IsChild(mainWindow, g_lastPaneFocus) &&
                      CanTakeFocus(g_lastPaneFocus) && !toolbarButton
                  ? g_lastPaneFocus
                  : g_shell.entryList;
  if (back) SetFocus(back);
}

bool HandlePaneKey(const MSG& msg) {
  if (msg.message != WM_KEYDOWN) return false;
  int current = CycleIndexOf(msg.hwnd);
  if (current < 0) return false;
  if (msg.wParam == VK_TAB) {
    MoveFocusAlongCycle(current, GetKeyState(VK_SHIFT) < 0);
    return true;
  }
  if (msg.wParam == VK_RETURN && IsRecipientButton(msg.hwnd)) {
    if (IsWindowEnabled(msg.hwnd)) SendMessageA(msg.hwnd, BM_CLICK, 0, 0);
    return true;
  }
  return false;
}

void MoveFocusOffDisabledPane() {
  HWND focus = GetFocus();
  int current = CycleIndexOf(focus);
  if (current >= 0 && !CanTakeFocus(focus)) MoveFocusAlongCycle(current, false);
}
