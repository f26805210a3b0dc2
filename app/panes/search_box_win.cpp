#include "app/panes/search_box_win.h"

#include <cstdio>

#include "app/layout_geometry.h"
#include "app/main_window.h"
#include "app/shell_state.h"
#include "app/panes/panes.h"
#include "app/panes/search_edit_win.h"
#include "app/panes/speaking_list_win.h"
#include "win/accessible_object_win.h"
#include "win/gdi_owners_win.h"
#include "win/list_box_win.h"
#include "win/text_metrics_win.h"

namespace {

constexpr UINT kCountText = 2051;       // "%s of %s entries"
constexpr UINT kEmptyBookText = 2052;
constexpr UINT kNoMatchText = 2053;     // "Nothing matches "%s"."
constexpr DWORD kSearchBoxStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;

std::string g_statusShown;  // the count the status bar last showed
WNDPROC g_entryListProc = nullptr;

void FocusListFirst() {
  HWND list = g_shell.entryList;
  if (!list) return;
  SetFocus(list);
  if (ListCount(list) > 0) SendMessageA(list, LB_SETCARETINDEX, 0, FALSE);
}

void Narrow(HWND edit) {
  EntryView& view = g_shell.entryView;
  HWND list = g_shell.entryList;
  std::vector<std::string> words = SearchWords(g_shell.store, SearchEditText(edit));
  if (!view.Narrowed() && words.empty()) return;  // blanks alone narrow nothing
  view.SetWords(std::move(words), view.Narrowed() ? std::vector<ItemRef>() : AllItemData(list));
  ShowNarrowedEntries(list);
  if (ListCount(list) > 0) SelectAloneAsClick(list, 0);
  RunCommandEnabling(g_shell.mainWindow);
  RefreshSearchStatus();
}

// Mode 0: to the list. Beside a host: the shown selection joins the recipients (">>To") and the
// text is selected, so that the next name can be typed at once.
void OnEnter(HWND edit) {
  if (!g_shell.recipientBox) {
    FocusListFirst();
    return;
  }
  SendMessageA(g_shell.recipientBox, WM_COMMAND, kToButtonId, 0);
  SendMessageA(edit, EM_SETSEL, 0, -1);
}

void OnDown(HWND) { FocusListFirst(); }
void OnEscapeWhenEmpty(HWND) {
  if (g_shell.entryList) SetFocus(g_shell.entryList);
}

const SearchEditActions kMainBoxActions = {Narrow, OnEnter, OnDown, OnEscapeWhenEmpty};

// A count grouped as the user's locale groups it ("55,001"), without decimals.
std::string FormatCount(uint32_t count) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%u", count);
  char grouping[10] = "3;0", thousand[4] = ",", decimal[4] = ".";
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SGROUPING, grouping, sizeof grouping);
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, thousand, sizeof thousand);
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, decimal, sizeof decimal);
  NUMBERFMTA format = {};
  format.NumDigits = 0;
  format.LeadingZero = 1;  // else 0 itself reads as nothing
  format.Grouping = (grouping[0] >= '0' && grouping[0] <= '9') ? static_cast<UINT>(grouping[0] - '0') : 3;
  if (grouping[0] && grouping[1] == ';' && grouping[2] == '2') format.Grouping = format.Grouping * 10 + 2;  // 3;2;0
  format.lpDecimalSep = decimal;
  format.lpThousandSep = thousand;
  format.NegativeOrder = 1;
  char out[32];
  if (GetNumberFormatA(LOCALE_USER_DEFAULT, 0, digits, &format, out, sizeof out) <= 0) return digits;
  return out;
}

std::string WithText(UINT id, const std::string& a, const std::string& b = std::string()) {
  std::string pattern = LocalizedText(id);
  std::string out(pattern.size() + a.size() + b.size() + 1, '\0');
  int n = std::snprintf(&out[0], out.size(), pattern.c_str(), a.c_str(), b.c_str());
  out.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return out;
}

std::string WhyEmpty() {
  if (g_shell.entryView.Narrowed()) return WithText(kNoMatchText, SearchEditText(g_shell.searchBox));
  if (LiveEntryCount(g_shell.store) == 0) return LocalizedText(kEmptyBookText);
  return {};
}

void DrawWhyEmpty(HWND list) {
  std::string text = WhyEmpty();
  if (text.empty()) return;
  RECT client;
  GetClientRect(list, &client);
  HDC dc = GetDC(list);
  if (!dc) return;
  {
    SelectGuard font(dc, EntryListFont());
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    SetBkMode(dc, TRANSPARENT);
    UINT flags = DT_CENTER | DT_WORDBREAK | DT_NOPREFIX;
    RECT area = {client.left + 8, 0, client.right - 8, 0};
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &area, flags | DT_CALCRECT);
    int height = area.bottom - area.top;
    area = {client.left + 8, (client.bottom - height) / 2, client.right - 8, (client.bottom + height) / 2 + 1};
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &area, flags);
  }
  ReleaseDC(list, dc);
}

bool ChangesCount(UINT message) {
  return message == LB_RESETCONTENT || message == LB_DELETESTRING || message == LB_ADDSTRING ||
         message == LB_INSERTSTRING;
}

LRESULT CALLBACK WhyEmptyListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
  bool wasEmpty = ChangesCount(message) && ListCount(list) == 0;
  LRESULT result = CallWindowProcA(g_entryListProc, list, message, wParam, lParam);
  if (message == WM_PAINT && ListCount(list) == 0) DrawWhyEmpty(list);
  // The text stands in the middle of the whole list: it comes and goes with the first item.
  if (ChangesCount(message) && wasEmpty != (ListCount(list) == 0)) InvalidateRect(list, nullptr, TRUE);
  if (message == WM_SIZE && ListCount(list) == 0) InvalidateRect(list, nullptr, TRUE);
  return result;
}

}  // namespace

void CreateSearchBox(HWND toolbar) {
  g_shell.searchBox = toolbar ? CreateWindowExA(0, "EDIT", "", kSearchBoxStyle, 0, 0, 1, 1, toolbar,
                                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kSearchBoxId)),
                                                g_shell.instance, nullptr)
                              : nullptr;
  MakeSearchEdit(g_shell.searchBox, kMainBoxActions);
}

void PlaceSearchBox(HWND toolbar) {
  if (!toolbar || !g_shell.searchBox) return;
  RECT bar;
  GetClientRect(toolbar, &bar);
  HFONT font = reinterpret_cast<HFONT>(SendMessageA(g_shell.searchBox, WM_GETFONT, 0, 0));
  PaneBox box = SearchBoxBox(bar.right, PaddedTextHeight(g_shell.searchBox, font));
  SetWindowPos(g_shell.searchBox, nullptr, box.x, box.y, box.width, box.height,
               SWP_NOZORDER | SWP_NOACTIVATE | (box.width > 0 ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

bool OnSearchBoxCommand(WPARAM wParam) {
  if (LOWORD(wParam) != kSearchBoxId) return false;
  if (HIWORD(wParam) == EN_CHANGE) SearchEditChanged(g_shell.searchBox);
  return true;
}

void FocusSearchBox() {
  if (!g_shell.searchBox || !IsWindowVisible(g_shell.searchBox)) return;
  SetFocus(g_shell.searchBox);
  SendMessageA(g_shell.searchBox, EM_SETSEL, 0, -1);
}

bool KeyKeptBySearchBox(const MSG& msg) {
  return msg.hwnd && msg.hwnd == g_shell.searchBox && msg.message == WM_KEYDOWN && msg.wParam == VK_DELETE;
}

std::string SearchStatusText() {
  if (!g_shell.entryView.Narrowed()) return {};
  return WithText(kCountText, FormatCount(static_cast<uint32_t>(ListCount(g_shell.entryList))),
                  FormatCount(LiveEntryCount(g_shell.store)));
}

void RefreshSearchStatus() {
  std::string text = SearchStatusText();
  if (text == g_statusShown) return;
  g_statusShown = text;
  if (!g_shell.statusBar) return;
  InvalidateRect(g_shell.statusBar, nullptr, TRUE);
  UpdateWindow(g_shell.statusBar);
  NotifyAccessibleEvent(EVENT_OBJECT_NAMECHANGE, g_shell.statusBar, 0);
}

void MakeEntryListTellWhyEmpty(HWND entryList) {
  if (!entryList || g_entryListProc) return;
  g_entryListProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(entryList, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WhyEmptyListProc)));
}
