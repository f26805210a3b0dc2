#include "app/panes/search_edit_win.h"

#include "app/font_specs.h"
#include "app/startup.h"
#include "app/panes/speaking_list_win.h"
#include "win/accessible_object_win.h"
#include "win/gdi_owners_win.h"

namespace {

constexpr UINT kHintText = 2050;    // "Search"
constexpr UINT_PTR kNarrowTimer = 1;

struct SearchEdit {
  const SearchEditActions* actions;
  WNDPROC editProc;
  HFONT font;
};

SearchEdit* StateOf(HWND edit) { return reinterpret_cast<SearchEdit*>(GetWindowLongPtrA(edit, GWLP_USERDATA)); }

LRESULT CallEdit(HWND edit, const SearchEdit& state, UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcA(state.editProc, edit, message, wParam, lParam);
}

// The classic edit has no cue banner: the hint is drawn over the empty face.
void DrawHint(HWND edit) {
  if (GetWindowTextLengthA(edit) > 0 || GetFocus() == edit) return;
  HDC dc = GetDC(edit);
  if (!dc) return;
  RECT area;
  SendMessageA(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&area));
  std::string hint = LocalizedText(kHintText);
  {
    SelectGuard font(dc, reinterpret_cast<HFONT>(SendMessageA(edit, WM_GETFONT, 0, 0)));
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, hint.c_str(), static_cast<int>(hint.size()), &area, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
  }
  ReleaseDC(edit, dc);
}

class SearchEditModel : public AccessibleModel {
 public:
  long Role(HWND) const override { return ROLE_SYSTEM_TEXT; }
  std::string Name(HWND) const override { return LocalizedText(kHintText); }
  int ChildCount(HWND) const override { return 0; }
  long ChildRole(HWND, int) const override { return 0; }
  std::string ChildName(HWND, int) const override { return {}; }
  long ChildState(HWND, int) const override { return 0; }
  bool ChildRect(HWND, int, RECT&) const override { return false; }
};

const SearchEditModel kSearchEditModel;

bool CtrlHeld() { return GetKeyState(VK_CONTROL) < 0; }

// Enter, Esc and Down are the box's own; true when the key was taken.
bool OnKeyDown(HWND edit, const SearchEdit& state, WPARAM key) {
  switch (key) {
    case VK_RETURN:
      state.actions->enter(edit);
      return true;
    case VK_ESCAPE:
      if (GetWindowTextLengthA(edit) > 0) SetWindowTextA(edit, "");
      else state.actions->escapeWhenEmpty(edit);
      return true;
    case VK_DOWN:
      state.actions->down(edit);
      return true;
    case 'A':
      if (!CtrlHeld()) return false;
      SendMessageA(edit, EM_SETSEL, 0, -1);
      return true;
  }
  return false;
}

// The characters of the keys taken above must not reach the edit (it would beep or type them).
bool IsTakenChar(WPARAM c) { return c == '\r' || c == '\n' || c == 0x1B || c == 0x01; }

bool WantsKey(const MSG* msg) {
  if (!msg) return false;
  if (msg->message == WM_KEYDOWN) return msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE;
  return msg->message == WM_CHAR && IsTakenChar(msg->wParam);
}

LRESULT CALLBACK SearchEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  SearchEdit* state = StateOf(edit);
  if (!state) return DefWindowProcA(edit, message, wParam, lParam);
  switch (message) {
    case WM_GETDLGCODE:  // in a dialog too, Enter and Esc come to the box; Tab stays the dialog's
      return CallEdit(edit, *state, message, wParam, lParam) |
             (WantsKey(reinterpret_cast<const MSG*>(lParam)) ? DLGC_WANTMESSAGE : 0);
    case WM_KEYDOWN:
      if (OnKeyDown(edit, *state, wParam)) return 0;
      break;
    case WM_CHAR:
      if (IsTakenChar(wParam)) return 0;
      break;
    case WM_TIMER:
      if (wParam != kNarrowTimer) break;
      KillTimer(edit, kNarrowTimer);
      state->actions->narrow(edit);
      return 0;
    case WM_PAINT: {
      LRESULT result = CallEdit(edit, *state, message, wParam, lParam);
      DrawHint(edit);
      return result;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      LRESULT result = CallEdit(edit, *state, message, wParam, lParam);
      InvalidateRect(edit, nullptr, TRUE);
      return result;
    }
    case WM_GETOBJECT:
      if (AsksForClientObject(lParam)) return AnswerGetObject(edit, wParam, lParam, kSearchEditModel);
      break;
    case WM_NCDESTROY: {
      KillTimer(edit, kNarrowTimer);
      SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(state->editProc));
      SetWindowLongPtrA(edit, GWLP_USERDATA, 0);
      LRESULT result = CallEdit(edit, *state, message, wParam, lParam);
      if (state->font) DeleteObject(state->font);
      delete state;
      return result;
    }
  }
  return CallEdit(edit, *state, message, wParam, lParam);
}

}  // namespace

void MakeSearchEdit(HWND edit, const SearchEditActions& actions) {
  if (!edit || StateOf(edit)) return;
  auto* state = new SearchEdit{&actions, nullptr, CreateFontFromSet(StandardFontSet)};
  if (state->font) SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(state->font), FALSE);
  SetWindowLongPtrA(edit, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
  state->editProc =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SearchEditProc)));
  if (state->editProc) return;
  SetWindowLongPtrA(edit, GWLP_USERDATA, 0);
  if (state->font) SendMessageA(edit, WM_SETFONT, 0, FALSE);
  if (state->font) DeleteObject(state->font);
  delete state;
}

// A timer message comes only when no other message waits: keys typed faster than the list
// fills are all in the text before it narrows once.
void SearchEditChanged(HWND edit) {
  if (edit && StateOf(edit)) SetTimer(edit, kNarrowTimer, USER_TIMER_MINIMUM, nullptr);
}

std::string SearchEditText(HWND edit) {
  int length = edit ? GetWindowTextLengthA(edit) : 0;
  std::string text(static_cast<size_t>(length) + 1, '\0');
  if (length > 0) text.resize(static_cast<size_t>(GetWindowTextA(edit, &text[0], length + 1)));
  else text.clear();
  return text;
}
