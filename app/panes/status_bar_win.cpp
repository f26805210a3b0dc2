// The status bar ("StatusWindowClass"): a framed bar showing the hint of the button under the
// pointer on a slightly darker band, and nothing otherwise.
#include <windows.h>


#include "app/settings.h"
#include "app/shell_state.h"
#include "app/panes/speaking_list_win.h"
#include "win/accessible_object_win.h"
#include "win/framed_panel_win.h"
#include "win/gdi_owners_win.h"
#include "app/panes/panes.h"
#include "app/panes/search_box_win.h"
#include "app/panes/status_hints.h"
#include "sync/sync_shell_win.h"

int StatusHintKey = 0;

namespace {

constexpr COLORREF kHintBand = 0xBEBEBE;

// Of the standing texts, the search box's count and what the sync has to say, the one that
// changed last shows; the other comes back when that one clears, and the note of the start
// stands while neither has anything to say.
std::string NewestStandingText() {
  static std::string lastSearch, lastSync;
  static bool syncIsNewer = false;
  std::string search = SearchStatusText();
  std::string sync = SyncStatusText();
  if (sync != lastSync) {
    syncIsNewer = !sync.empty();
    lastSync = sync;
  }
  if (search != lastSearch) {
    if (!search.empty()) syncIsNewer = false;
    lastSearch = search;
  }
  if (search.empty() && sync.empty()) return g_shell.statusNote;
  if (search.empty() || sync.empty()) return search.empty() ? sync : search;
  return syncIsNewer ? sync : search;
}

// The hint of the button under the pointer comes first; otherwise the newest standing text.
std::string ShownHint() {
  int stringId = StatusHintString(StatusHintKey);
  return stringId == 0 ? NewestStandingText() : LocalizedText(static_cast<UINT>(stringId));
}

void DrawHint(HDC dc, const RECT& r) {
  std::string text = ShownHint();
  if (text.empty()) return;
  RECT area = {r.left + 3, r.top + 3, r.right - 3, r.bottom - 3};
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, kHintBand);
  SelectGuard font(dc, g_shell.statusFont);
  ExtTextOutA(dc, area.left, area.top, ETO_OPAQUE, &area, nullptr, 0, nullptr);
  ExtTextOutA(dc, area.left, area.top, ETO_OPAQUE | ETO_CLIPPED, &area, text.c_str(),
              static_cast<UINT>(text.size()), nullptr);
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

// The status bar reads as the text it shows; it has no parts.
class StatusBarModel : public AccessibleModel {
 public:
  long Role(HWND) const override { return ROLE_SYSTEM_STATUSBAR; }
  std::string Name(HWND) const override { return ShownHint(); }
  int ChildCount(HWND) const override { return 0; }
  long ChildRole(HWND, int) const override { return 0; }
  std::string ChildName(HWND, int) const override { return {}; }
  long ChildState(HWND, int) const override { return 0; }
  bool ChildRect(HWND, int, RECT&) const override { return false; }
};

const StatusBarModel kStatusBarModel;

}  // namespace

namespace {

void RepaintStatusBar() {
  if (!g_shell.statusBar) return;
  NotifyAccessibleEvent(EVENT_OBJECT_NAMECHANGE, g_shell.statusBar, 0);
  InvalidateRect(g_shell.statusBar, nullptr, TRUE);
  UpdateWindow(g_shell.statusBar);
}

}  // namespace

void UpdateStatusHint(HWND underPointer) {
  bool isButton = IsHintButton(underPointer);
  int key = StatusHintKeyFor(isButton ? GetDlgCtrlID(underPointer) : 0, isButton);
  if (key == StatusHintKey) return;
  StatusHintKey = key;
  if (key != 0) g_shell.statusNote.clear();  // told once: the hints have the bar from now on
  RepaintStatusBar();
}

void ShowStatusNote(const std::string& text) {
  g_shell.statusNote = text;
  RepaintStatusBar();
}

LRESULT CALLBACK StatusBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_GETOBJECT && AsksForClientObject(lParam))
    return AnswerGetObject(window, wParam, lParam, kStatusBarModel);
  if (message != WM_PAINT) return DefWindowProcA(window, message, wParam, lParam);
  Paint(window);
  return 1;
}
