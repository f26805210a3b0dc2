#include "app/layout_geometry.h"

#include <algorithm>

namespace {

constexpr int kHeaderPadding = 4;
constexpr int kStatusPadding = 6;
constexpr int kRecipientRows = 4;
constexpr int kRecipientBoxPadding = 12;
constexpr int kMinRecipientBoxHeight = 82;
constexpr int kRecipientListLeft = 82;
constexpr int kRecipientListMargin = 88;
constexpr int kRecipientButtonX = 6, kRecipientButtonWidth = 70, kRecipientButtonHeight = 22;
constexpr int kToolbarButtonSize = 32, kToolbarButtonStep = 31, kToolbarButtonLeft = 3;

}  // namespace

int RecipientRowHeight(int systemTextHeight) { return std::max(systemTextHeight, kMinListItemHeight); }

int RecipientBoxHeight(int systemTextHeight) {
  return std::max(kRecipientRows * RecipientRowHeight(systemTextHeight) + kRecipientBoxPadding,
                  kMinRecipientBoxHeight);
}

MainLayout ComputeMainLayout(int width, int height, const PaneTextHeights& text, bool hasRecipientBox) {
  MainLayout layout;
  int headerHeight = text.header + kHeaderPadding;
  int statusHeight = text.status + kStatusPadding;
  layout.toolbar = {0, 0, width, kToolbarHeight};
  layout.header = {0, kToolbarHeight, width, headerHeight};
  layout.statusBar = {0, height - statusHeight, width, statusHeight};
  int listBottom = layout.statusBar.y;
  if (hasRecipientBox) {
    int boxHeight = RecipientBoxHeight(text.system);
    layout.recipientBox = {0, layout.statusBar.y - boxHeight, width, boxHeight};
    listBottom = layout.recipientBox.y;
  }
  int listTop = kToolbarHeight + headerHeight;
  layout.entryList = {0, listTop, width, std::max(0, listBottom - listTop)};
  return layout;
}

RecipientBoxLayout ComputeRecipientBoxLayout(int boxWidth, int boxHeight, int systemTextHeight) {
  int listHeight = kRecipientRows * RecipientRowHeight(systemTextHeight);
  RecipientBoxLayout layout;
  layout.list = {kRecipientListLeft, (boxHeight - listHeight) / 2, boxWidth - kRecipientListMargin, listHeight};
  layout.toButton = {kRecipientButtonX, 6, kRecipientButtonWidth, kRecipientButtonHeight};
  layout.deleteButton = {kRecipientButtonX, 30, kRecipientButtonWidth, kRecipientButtonHeight};
  layout.sendButton = {kRecipientButtonX, 54, kRecipientButtonWidth, kRecipientButtonHeight};
  return layout;
}

PaneBox ToolbarButtonBox(int index) {
  return {kToolbarButtonLeft + kToolbarButtonStep * index, 1, kToolbarButtonSize, kToolbarButtonSize};
}

int FixedPaneHeight(const PaneTextHeights& text, int recipientBoxHeight) {
  return kToolbarHeight + text.header + kHeaderPadding + text.status + kStatusPadding + recipientBoxHeight;
}

int SnapItemHeight(int listFontTextHeight) { return std::max(listFontTextHeight, kMinListItemHeight); }

int SnapRemainder(int clientHeight, int fixedHeight, int itemHeight) {
  if (itemHeight <= 0) return 0;
  return (clientHeight - fixedHeight) % itemHeight;  // C++ keeps the dividend's sign
}

PaneBox SearchBoxBox(int toolbarWidth, int textHeight) {
  PaneBox last = ToolbarButtonBox(kToolbarButtonCount - 1);
  int x = last.x + last.width + kSearchBoxGap;
  int height = textHeight + kSearchBoxPadding;
  int width = std::max(0, std::min(kSearchBoxWidth, toolbarWidth - x - kSearchBoxGap));
  return {x, (kToolbarHeight - height) / 2, width, height};
}
