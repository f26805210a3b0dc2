// The toolbar ("ToolBarClass"): five owner-drawn picture buttons that send the main window's
// commands, their tooltip texts, and the status hint of the button under the pointer.
#include <windows.h>
#include <commctrl.h>

#include "app/settings.h"
#include "app/shell_state.h"
#include "app/panes/speaking_list_win.h"
#include "win/accessible_object_win.h"
#include "win/gdi_owners_win.h"
#include "win/picture_surface_win.h"
#include "app/panes/panes.h"
#include "app/panes/search_box_win.h"

namespace {

constexpr COLORREF kBottomEdge = 0x646464;
constexpr int kFaceSize = 32;
constexpr int kTooltipTextSize = 80;

struct ToolbarButton {
  int id;
  int command;
  int bitmapUp, bitmapPressed, bitmapDisabled;
  int tooltip;
};

constexpr ToolbarButton kButtons[] = {
    {kToolbarNewAddress, kCmdNewAddress, 100, 101, 102, 112},
    {kToolbarNewGroup, kCmdNewGroup, 103, 104, 105, 113},
    {kToolbarProperties, kCmdProperties, 106, 107, 108, 114},
    {kToolbarDelete, kCmdDelete, 109, 110, 111, 115},
    {kToolbarFind, kCmdFind, 115, 116, 117, 116},
};

const ToolbarButton* ButtonById(int id) {
  for (const ToolbarButton& button : kButtons)
    if (button.id == id) return &button;
  return nullptr;
}

// Light-grey face with a white top edge and a dark bottom edge; every pen is deselected on return.
void DrawFace(HDC dc, const RECT& r) {
  {
    SelectGuard brush(dc, GetStockObject(LTGRAY_BRUSH));
    Rectangle(dc, r.left, r.top, r.right, r.bottom);
  }
  {
    SelectGuard pen(dc, GetStockObject(WHITE_PEN));
    DrawLine(dc, r.left, r.top, r.right, r.top);
  }
  GdiObject bottomPen(CreatePen(PS_SOLID, 1, kBottomEdge));
  SelectGuard pen(dc, bottomPen.get());
  DrawLine(dc, r.left, r.bottom - 1, r.right, r.bottom - 1);
}

void PaintBackground(HWND window) {
  PaintDC dc(window);
  DrawFace(dc.get(), dc.client());
}

int FaceFor(const ToolbarButton& button, const DRAWITEMSTRUCT& item) {
  if (!IsWindowEnabled(item.hwndItem)) return button.bitmapDisabled;
  return (item.itemState & ODS_SELECTED) ? button.bitmapPressed : button.bitmapUp;
}

// Copies the face stretched onto the button; a focus change alone draws nothing.
void DrawButton(const DRAWITEMSTRUCT& item) {
  if (item.CtlType != ODT_BUTTON) return;
  const ToolbarButton* button = ButtonById(static_cast<int>(item.CtlID));
  if (!button) return;
  if (!(item.itemAction & (ODA_DRAWENTIRE | ODA_SELECT))) return;
  PictureSurface face;
  if (!face.Load(g_shell.instance, FaceFor(*button, item))) return;
  const RECT& r = item.rcItem;
  StretchBlt(item.hDC, r.left, r.top, r.right - r.left, r.bottom - r.top, face.dc(), 0, 0, kFaceSize, kFaceSize,
             SRCCOPY);
}

void SupplyTooltipText(NMHDR* header) {
  if (header->code != TTN_NEEDTEXTA) return;
  auto* request = reinterpret_cast<NMTTDISPINFOA*>(header);
  HWND tool = reinterpret_cast<HWND>(request->hdr.idFrom);
  const ToolbarButton* button = ButtonById(GetDlgCtrlID(tool));
  if (!button) return;
  LoadLocalString(g_shell.instance, button->tooltip, request->szText, kTooltipTextSize);
}

// The keyboard stays in the entry list: a clicked button took the focus, and a dialog the
// command opens would give it back to the button (or to nothing, when the command greys it).
void GiveFocusBackToList(HWND toolbar) {
  HWND focus = GetFocus();
  if (focus && g_shell.entryList && IsChild(toolbar, focus)) SetFocus(g_shell.entryList);
}

// Only clicks: owner-drawn buttons also report double clicks, which would run the command again.
bool ForwardClick(HWND toolbar, WPARAM wParam) {
  if (HIWORD(wParam) != BN_CLICKED) return false;
  const ToolbarButton* button = ButtonById(LOWORD(wParam));
  if (!button) return false;
  GiveFocusBackToList(toolbar);
  SendMessageA(g_shell.mainWindow, WM_COMMAND, button->command, 0);
  return true;
}

constexpr int kButtonCount = static_cast<int>(sizeof kButtons / sizeof kButtons[0]);

HWND ButtonWindow(HWND toolbar, int child) { return GetDlgItem(toolbar, kButtons[child - 1].id); }

// The toolbar as a screen reader reads it: one push button per picture, named by its tooltip.
class ToolbarModel : public AccessibleModel {
 public:
  long Role(HWND) const override { return ROLE_SYSTEM_TOOLBAR; }
  std::string Name(HWND) const override { return {}; }
  int ChildCount(HWND) const override { return kButtonCount; }
  long ChildRole(HWND, int) const override { return ROLE_SYSTEM_PUSHBUTTON; }
  std::string ChildName(HWND, int child) const override { return LocalizedText(kButtons[child - 1].tooltip); }
  long ChildState(HWND toolbar, int child) const override {
    HWND button = ButtonWindow(toolbar, child);
    if (!button || !IsWindowVisible(button)) return STATE_SYSTEM_INVISIBLE;
    return IsWindowEnabled(button) ? 0 : STATE_SYSTEM_UNAVAILABLE;
  }
  bool ChildRect(HWND toolbar, int child, RECT& box) const override {
    HWND button = ButtonWindow(toolbar, child);
    if (!button || !GetWindowRect(button, &box)) return false;
    MapWindowPoints(nullptr, toolbar, reinterpret_cast<POINT*>(&box), 2);
    return true;
  }
  std::string ChildDefaultAction(HWND, int) const override { return LocalizedText(164); }
  // As a click: posted, so that a reader is not held while the dialog it opens stays up.
  bool DoChildDefaultAction(HWND toolbar, int child) const override {
    HWND button = ButtonWindow(toolbar, child);
    if (!button || !IsWindowEnabled(button)) return false;
    return PostMessageA(toolbar, WM_COMMAND, MAKEWPARAM(kButtons[child - 1].id, BN_CLICKED),
                        reinterpret_cast<LPARAM>(button)) != FALSE;
  }
};

const ToolbarModel kToolbarModel;

// Each button as a window of its own (what a reader finds under the pointer or at the focus):
// the toolbar's push button for it.
class ToolbarButtonModel : public AccessibleModel {
 public:
  long Role(HWND) const override { return ROLE_SYSTEM_PUSHBUTTON; }
  std::string Name(HWND button) const override {
    const ToolbarButton* known = ButtonById(GetDlgCtrlID(button));
    return known ? LocalizedText(known->tooltip) : std::string();
  }
  int ChildCount(HWND) const override { return 0; }
  long ChildRole(HWND, int) const override { return 0; }
  std::string ChildName(HWND, int) const override { return {}; }
  long ChildState(HWND, int) const override { return 0; }
  bool ChildRect(HWND, int, RECT&) const override { return false; }
  std::string DefaultAction(HWND) const override { return LocalizedText(164); }
  bool DoDefaultAction(HWND button) const override {
    if (!IsWindowEnabled(button)) return false;
    return PostMessageA(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                        reinterpret_cast<LPARAM>(button)) != FALSE;
  }
};

const ToolbarButtonModel kToolbarButtonModel;

// The buttons' own procedure is the platform's, kept in each button's user data.
LRESULT CALLBACK SpeakingButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam) {
  auto platform = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(button, GWLP_USERDATA));
  if (!platform) return DefWindowProcA(button, message, wParam, lParam);
  if (message == WM_GETOBJECT && AsksForClientObject(lParam))
    return AnswerGetObject(button, wParam, lParam, kToolbarButtonModel);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(platform));
    SetWindowLongPtrA(button, GWLP_USERDATA, 0);
    return CallWindowProcA(platform, button, message, wParam, lParam);
  }
  LRESULT result = CallWindowProcA(platform, button, message, wParam, lParam);
  // A press released beside the button clicks nothing, and leaves the focus on it.
  if (message == WM_LBUTTONUP || message == WM_CAPTURECHANGED) {
    if (GetFocus() == button && GetCapture() != button && g_shell.entryList) SetFocus(g_shell.entryList);
  }
  return result;
}

}  // namespace

void MakeToolbarButtonsSpeak() {
  for (HWND button : g_shell.toolbarButtons) {
    if (!button || GetWindowLongPtrA(button, GWLP_USERDATA)) continue;
    LONG_PTR platform = GetWindowLongPtrA(button, GWLP_WNDPROC);
    SetWindowLongPtrA(button, GWLP_USERDATA, platform);
    SetWindowLongPtrA(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SpeakingButtonProc));
  }
}

LRESULT CALLBACK ToolbarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      PaintBackground(window);
      return 1;
    case WM_CREATE:
    case WM_DESTROY:
      return 1;
    case WM_SETCURSOR:
      SetCursor(g_shell.arrowCursor);
      UpdateStatusHint(reinterpret_cast<HWND>(wParam));
      return 1;
    case WM_DRAWITEM:
      DrawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return 1;
    case WM_NOTIFY:
      SupplyTooltipText(reinterpret_cast<NMHDR*>(lParam));
      return 1;
    case WM_COMMAND:
      if (ForwardClick(window, wParam) || OnSearchBoxCommand(wParam)) return 1;
      return DefWindowProcA(window, message, wParam, lParam);
    case WM_GETOBJECT:
      if (AsksForClientObject(lParam)) return AnswerGetObject(window, wParam, lParam, kToolbarModel);
      return DefWindowProcA(window, message, wParam, lParam);
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}
