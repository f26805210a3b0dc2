#include "app/layout.h"

#include "app/column_widths.h"
#include "app/layout_geometry.h"
#include "app/settings.h"
#include "app/shell_state.h"
#include "app/panes/panes.h"
#include "app/panes/search_box_win.h"
#include "win/text_metrics_win.h"

namespace {

constexpr DWORD kEntryListStyle = WS_CHILD | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_OWNERDRAWFIXED |
                                  LBS_EXTENDEDSEL;  // 0x40210811
constexpr DWORD kToolbarButtonStyle = WS_CHILD | BS_OWNERDRAW;
constexpr int kToolbarButtonIds[kToolbarButtonCount] = {kToolbarNewAddress, kToolbarNewGroup,
                                                        kToolbarProperties, kToolbarDelete, kToolbarFind};

HMENU ChildId(int id) { return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)); }

HWND CreatePane(HWND parent, const char* className, DWORD style, int id, bool defaultPlace) {
  int at = defaultPlace ? CW_USEDEFAULT : 0;
  int size = defaultPlace ? CW_USEDEFAULT : 1;
  return CreateWindowExA(0, className, "", style, at, at, size, size, parent, id ? ChildId(id) : nullptr,
                         g_shell.instance, nullptr);
}

PaneTextHeights MeasurePaneText(HWND mainWindow) {
  return {PaddedTextHeight(mainWindow, ColumnHeaderFont()), PaddedTextHeight(mainWindow, g_shell.statusFont),
          PaddedTextHeight(mainWindow, nullptr)};
}

void Place(HWND window, const PaneBox& box, bool show) {
  if (!window) return;
  UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (show ? SWP_SHOWWINDOW : 0);
  SetWindowPos(window, nullptr, box.x, box.y, box.width, box.height, flags);
}

void PlaceRecipientChildren(const PaneBox& box, int systemTextHeight) {
  RecipientBoxLayout inner = ComputeRecipientBoxLayout(box.width, box.height, systemTextHeight);
  Place(g_shell.recipientList, inner.list, true);
  Place(g_shell.toButton, inner.toButton, true);
  Place(g_shell.recipientDeleteButton, inner.deleteButton, true);
  Place(g_shell.sendButton, inner.sendButton, true);
}

// Places the panes in their fixed order; the entry list and the recipient box are shown.
void PlacePanes(HWND mainWindow, const PaneTextHeights& text) {
  RECT client;
  GetClientRect(mainWindow, &client);
  MainLayout layout = ComputeMainLayout(client.right, client.bottom, text, g_shell.recipientBox != nullptr);
  Place(g_shell.toolbar, layout.toolbar, false);
  Place(g_shell.columnHeader, layout.header, false);
  Place(g_shell.statusBar, layout.statusBar, false);
  if (g_shell.recipientBox) {
    Place(g_shell.recipientBox, layout.recipientBox, true);
    PlaceRecipientChildren(layout.recipientBox, text.system);
  }
  Place(g_shell.entryList, layout.entryList, true);
}

void PlaceToolbarButtons() {
  for (int i = 0; i < kToolbarButtonCount; ++i) Place(g_shell.toolbarButtons[i], ToolbarButtonBox(i), false);
  PlaceSearchBox(g_shell.toolbar);
}

void CreateToolbarButtons() {
  for (int i = 0; i < kToolbarButtonCount; ++i)
    g_shell.toolbarButtons[i] = g_shell.toolbar ? CreatePane(g_shell.toolbar, "BUTTON", kToolbarButtonStyle,
                                                             kToolbarButtonIds[i], false)
                                                : nullptr;
}

void WidenLastColumnToHeader() {
  if (!g_shell.columnHeader) return;
  RECT header;
  GetClientRect(g_shell.columnHeader, &header);
  WidenLastColumn(g_shell.headerCells, header.right);
}

int RecipientBoxCurrentHeight() {
  RECT box;
  if (!g_shell.recipientBox || !GetWindowRect(g_shell.recipientBox, &box)) return 0;
  return box.bottom - box.top;
}

void ShowStill(HWND window) {
  if (window)
    SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
}

void ShowAllPanes(HWND mainWindow) {
  for (HWND window : {g_shell.entryList, mainWindow, g_shell.toolbar, g_shell.columnHeader, g_shell.statusBar})
    ShowStill(window);
  for (HWND button : g_shell.toolbarButtons) ShowStill(button);
  if (g_shell.toolbar) {
    InvalidateRect(g_shell.toolbar, nullptr, FALSE);
    UpdateWindow(g_shell.toolbar);
  }
}

// Asks for an outer height `remainder` pixels shorter. True when the window took it, in which
// case the size notification it caused has already laid the panes out again. Our own request is
// never repeated from inside that notification, so a window held by size limits cannot loop.
bool RequestSnappedHeight(HWND mainWindow, int remainder) {
  if (g_shell.heightSnapPending) return false;
  RECT outer;
  GetWindowRect(mainWindow, &outer);
  int wanted = outer.bottom - outer.top - remainder;
  g_shell.heightSnapPending = true;
  SetWindowPos(mainWindow, nullptr, 0, 0, outer.right - outer.left, wanted, SWP_NOMOVE);
  g_shell.heightSnapPending = false;
  GetWindowRect(mainWindow, &outer);
  return outer.bottom - outer.top == wanted;
}

}  // namespace

void CreatePanes(HWND mainWindow) {
  g_shell.toolbar = CreatePane(mainWindow, "ToolBarClass", WS_CHILD, 0, true);
  g_shell.columnHeader = CreatePane(mainWindow, "InBoxItemClass", WS_CHILD, 0, true);
  g_shell.entryList = CreatePane(mainWindow, "listbox", kEntryListStyle, kEntryListId, false);
  g_shell.statusBar = CreatePane(mainWindow, "StatusWindowClass", WS_CHILD, 0, true);
  g_shell.toButton = g_shell.recipientDeleteButton = g_shell.sendButton = nullptr;
  g_shell.recipientList = nullptr;
  g_shell.recipientBox = nullptr;
  if (g_shell.StartMode != 0) g_shell.recipientBox = CreatePane(mainWindow, "ToBoxClass", WS_CHILD, 0, true);

  PlacePanes(mainWindow, MeasurePaneText(mainWindow));
  RECT header = {};
  if (g_shell.columnHeader) GetClientRect(g_shell.columnHeader, &header);
  ReadColumnWidths(header);
  CreateToolbarButtons();
  CreateSearchBox(g_shell.toolbar);
  PlaceToolbarButtons();
  if (g_shell.toolbar) AttachToolbarTooltips(g_shell.toolbar);
  MakeToolbarButtonsSpeak();
}

void LayoutPanes(HWND mainWindow) {
  PaneTextHeights text = MeasurePaneText(mainWindow);
  PlacePanes(mainWindow, text);
  PlaceToolbarButtons();
  WidenLastColumnToHeader();

  if (IsIconic(mainWindow)) return;  // no client area to fit; the restore lays out again
  RECT client;
  GetClientRect(mainWindow, &client);
  int fixed = FixedPaneHeight(text, RecipientBoxCurrentHeight());
  int item = SnapItemHeight(PaddedTextHeight(mainWindow, EntryListFont()));
  int remainder = SnapRemainder(client.bottom, fixed, item);
  if (remainder != 0 && RequestSnappedHeight(mainWindow, remainder)) return;
  ShowAllPanes(mainWindow);
}
