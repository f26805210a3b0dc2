// The column header ("InBoxItemClass"): four title cells, sorting by a press on a title and
// column resizing by dragging a boundary with an inverted guide line across the entry list.
#include <windows.h>

#include <cstring>

#include "app/font_specs.h"
#include "app/settings.h"
#include "app/shell_state.h"
#include "app/startup.h"
#include "app/panes/column_drag.h"
#include "app/panes/speaking_list_win.h"
#include "win/accessible_object_win.h"
#include "win/gdi_owners_win.h"
#include "app/panes/panes.h"

namespace {

constexpr COLORREF kShadow = RGB(100, 100, 100);
constexpr COLORREF kTitleBackground = RGB(190, 190, 190);
constexpr int kTitleIds[5] = {0, 0, 109, 110, 111};  // by column; column 1 has no title

struct GuideLine {
  int x = 0, top = 0, bottom = 0;
};

struct ColumnHeader {
  HFONT font = nullptr;
  DragZones zones;
  DragState drag = DragState::None;
  GuideLine guide;
  POINT last = {0, 0};
  bool namePressed = false;
  bool mailPressed = false;
};

ColumnHeader g_header;

POINT PointerAt(LPARAM lParam) {
  return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

// A cell with its bevel: `sunken` exchanges the light and dark edges and insets the title by 3.
void DrawCell(HDC dc, RECT cell, const char* title, bool sunken) {
  const auto [l, t, r, b] = cell;
  {
    SelectGuard brush(dc, GetStockObject(LTGRAY_BRUSH));
    Rectangle(dc, l, t, r, b);
  }
  GdiObject shadowPen(CreatePen(PS_SOLID, 1, kShadow));
  HGDIOBJ white = GetStockObject(WHITE_PEN);
  {
    SelectGuard pen(dc, sunken ? shadowPen.get() : white);
    DrawLine(dc, l, t, r, t);
    DrawLine(dc, l, t, l, b - 1);
  }
  {
    SelectGuard pen(dc, sunken ? white : shadowPen.get());
    DrawLine(dc, l, b - 1, r, b - 1);
    DrawLine(dc, r, t, r, b - 1);
  }
  if (!title) return;
  const int inset = sunken ? 3 : 2;
  RECT clip = {l + inset, t + inset, r - inset, b - inset};
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, kTitleBackground);
  SelectGuard font(dc, g_header.font);
  ExtTextOutA(dc, l + inset, t + inset, ETO_OPAQUE | ETO_CLIPPED, &clip, title,
              static_cast<UINT>(std::strlen(title)), nullptr);
}

bool IsPressed(int column) {
  return (column == 2 && g_header.namePressed) || (column == 3 && g_header.mailPressed);
}

void Paint(HWND window) {
  PaintDC surface(window);
  HDC dc = surface.get();
  const RECT& client = surface.client();
  const int* b = g_shell.headerCells.b;
  DrawCell(dc, {b[0], client.top, b[1], client.bottom}, nullptr, false);
  for (int column = 2; column <= 4; ++column) {
    if (b[column] - b[column - 1] == 0) continue;
    char title[1024] = "  ";
    LoadLocalString(g_shell.instance, kTitleIds[column], title + 2, sizeof title - 2);
    DrawCell(dc, {b[column - 1], client.top, b[column], client.bottom}, title, IsPressed(column));
  }
}

void RepaintNow(HWND window) {
  InvalidateRect(window, nullptr, FALSE);
  UpdateWindow(window);
}

void DrawGuideLine() {
  WindowDC surface(g_shell.entryList);
  if (!surface.get()) return;
  int previousMode = SetROP2(surface.get(), R2_NOT);
  DrawLine(surface.get(), g_header.guide.x, g_header.guide.top, g_header.guide.x, g_header.guide.bottom);
  SetROP2(surface.get(), previousMode);
}

bool InHeaderRows(HWND window, POINT at) {
  RECT client;
  GetClientRect(window, &client);
  return at.y >= client.top && at.y < client.bottom;
}

DragState DragAt(HWND window, POINT at) {
  return InHeaderRows(window, at) ? DragForPress(g_header.zones, at.x) : DragState::None;
}

void OnMouseMove(HWND window, POINT at) {
  if (g_header.drag == DragState::None) {
    if (g_header.namePressed || g_header.mailPressed) return;
    SetCursor(DragAt(window, at) != DragState::None ? g_shell.itemCursor : g_shell.arrowCursor);
    return;
  }
  DrawGuideLine();
  g_header.guide.x += at.x - g_header.last.x;
  g_header.last = at;
  DrawGuideLine();
}

void StartDrag(DragState drag, POINT at) {
  RECT list = {0, 0, 0, 0};
  if (g_shell.entryList) GetClientRect(g_shell.entryList, &list);
  g_header.drag = drag;
  g_header.guide = {g_shell.headerCells.b[drag == DragState::MovingB2 ? 2 : 3], list.top, list.bottom};
  DrawGuideLine();
  g_header.last = at;
}

void PressTitle(HWND window, POINT at) {
  switch (ColumnAt(g_shell.headerCells, at.x)) {
    case 2:
      g_header.namePressed = true;
      PostMessageA(g_shell.mainWindow, WM_COMMAND, kCmdSortByName, 0);
      break;
    case 3:
      g_header.mailPressed = true;
      PostMessageA(g_shell.mainWindow, WM_COMMAND, kCmdSortByMail, 0);
      break;
    default:
      break;
  }
  RepaintNow(window);
}

void OnButtonDown(HWND window, POINT at) {
  SetCapture(window);
  DragState drag = DragAt(window, at);
  if (drag != DragState::None) StartDrag(drag, at);
  else PressTitle(window, at);
}

void OnButtonUp(HWND window) {
  ReleaseCapture();
  if (g_header.drag == DragState::None) {
    g_header.namePressed = g_header.mailPressed = false;
    RepaintNow(window);
    return;
  }
  DrawGuideLine();
  g_shell.headerCells = ReleaseDrag(g_shell.headerCells, g_header.drag, g_header.guide.x);
  UpdateDragZones();
  InvalidateRect(window, nullptr, FALSE);
  if (g_shell.entryList) InvalidateRect(g_shell.entryList, nullptr, TRUE);
  UpdateWindow(window);
  if (g_shell.entryList) UpdateWindow(g_shell.entryList);
  g_header.drag = DragState::None;
}

// The titled columns as a screen reader reads them: child 1 is "Name" (column 2), child 2
// "E-mail address", child 3 "Memo"; the picture column has no title and is left out.
class ColumnHeaderModel : public AccessibleModel {
 public:
  long Role(HWND) const override { return ROLE_SYSTEM_LIST; }
  std::string Name(HWND) const override { return {}; }
  int ChildCount(HWND) const override { return 3; }
  long ChildRole(HWND, int) const override { return ROLE_SYSTEM_COLUMNHEADER; }
  std::string ChildName(HWND, int child) const override { return LocalizedText(kTitleIds[child + 1]); }
  long ChildState(HWND window, int child) const override {
    RECT box;
    return ChildRect(window, child, box) && box.right != box.left ? 0 : STATE_SYSTEM_INVISIBLE;
  }
  bool ChildRect(HWND window, int child, RECT& box) const override {
    RECT client;
    GetClientRect(window, &client);
    const int* b = g_shell.headerCells.b;
    box = {b[child], client.top, b[child + 1], client.bottom};
    return true;
  }
  std::string ChildDefaultAction(HWND, int child) const override {
    return child <= 2 ? LocalizedText(165) : std::string();
  }
  bool DoChildDefaultAction(HWND, int child) const override {
    if (child > 2) return false;
    return PostMessageA(g_shell.mainWindow, WM_COMMAND, child == 1 ? kCmdSortByName : kCmdSortByMail, 0) != FALSE;
  }
};

const ColumnHeaderModel kColumnHeaderModel;

}  // namespace

void UpdateDragZones() { g_header.zones = ComputeDragZones(g_shell.headerCells); }

HFONT ColumnHeaderFont() { return g_header.font; }

LRESULT CALLBACK ColumnHeaderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      g_header.font = CreateFontFromSpec(HeaderFontSpec, DEFAULT_QUALITY);
      return 1;
    case WM_DESTROY:
      if (g_header.font) DeleteObject(g_header.font);
      g_header.font = nullptr;
      return 1;
    case WM_PAINT:
      Paint(window);
      return 1;
    case WM_MOUSEMOVE:
      OnMouseMove(window, PointerAt(lParam));
      return 1;
    case WM_LBUTTONDOWN:
      OnButtonDown(window, PointerAt(lParam));
      return 1;
    case WM_LBUTTONUP:
      OnButtonUp(window);
      return 1;
    case WM_GETOBJECT:
      if (AsksForClientObject(lParam)) return AnswerGetObject(window, wParam, lParam, kColumnHeaderModel);
      return DefWindowProcA(window, message, wParam, lParam);
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}
