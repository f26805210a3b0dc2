// Geometry of the main window's panes, the toolbar buttons and the recipient box's children.
#pragma once

struct PaneBox {
  int x = 0, y = 0, width = 0, height = 0;
};

constexpr int kToolbarHeight = 34;
constexpr int kToolbarButtonCount = 5;
constexpr int kMinListItemHeight = 16;

// Padded text heights (font height + 2) the pane sizes derive from.
struct PaneTextHeights {
  int header = 0;  // the column header's font
  int status = 0;  // the status font
  int system = 0;  // the stock system font (sizes the recipient box)
};

struct MainLayout {
  PaneBox toolbar, header, statusBar, recipientBox, entryList;
};

// Row height of the recipient list: the system font's text height, at least 16.
int RecipientRowHeight(int systemTextHeight);
// The larger of 4 rows + 12 and 82.
int RecipientBoxHeight(int systemTextHeight);

// Panes stacked in a client area of width x height; recipientBox is all zero without a box.
// A list squeezed out by a short window gets height 0.
MainLayout ComputeMainLayout(int width, int height, const PaneTextHeights& text, bool hasRecipientBox);

struct RecipientBoxLayout {
  PaneBox list, toButton, deleteButton, sendButton;
};
RecipientBoxLayout ComputeRecipientBoxLayout(int boxWidth, int boxHeight, int systemTextHeight);

// Button index 0..4 (181, 182, 183, 184, 189), toolbar-relative.
PaneBox ToolbarButtonBox(int index);

// The search box right of the Find button, toolbar-relative: its font's text height + 6 tall,
// centred in the toolbar, 180 wide or what is left of the toolbar's width (0 when nothing is).
constexpr int kSearchBoxWidth = 180;
constexpr int kSearchBoxPadding = 6;
constexpr int kSearchBoxGap = 8;
PaneBox SearchBoxBox(int toolbarWidth, int textHeight);

// Height the snap treats as fixed: toolbar, header, status bar and the box when there is one.
int FixedPaneHeight(const PaneTextHeights& text, int recipientBoxHeight);
// List item height of the layout: the list font's text height, at least 16.
int SnapItemHeight(int listFontTextHeight);
// (clientHeight - fixedHeight) remainder itemHeight, carrying the dividend's sign.
int SnapRemainder(int clientHeight, int fixedHeight, int itemHeight);
