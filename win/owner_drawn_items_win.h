// The frame of every owner-drawn list item: selection colours around the item's own content,
// then the focus rectangle.
#pragma once

#include <windows.h>

// COLOR_HIGHLIGHT and COLOR_HIGHLIGHTTEXT, read once by whoever keeps them.
struct SelectionColours {
  COLORREF highlight = 0;
  COLORREF highlightText = 0;
};
SelectionColours ReadSelectionColours();

// Draws one item: nothing for an empty list; for a whole item or a selection change the
// content, drawn in the selection colours when the item is selected and with the previous
// colours put back afterwards; then the dotted focus rectangle when the focus concerns it.
template <typename DrawContent>
void DrawOwnerDrawnItem(const DRAWITEMSTRUCT& request, const SelectionColours& colours, DrawContent drawContent) {
  if (static_cast<int>(request.itemID) < 0) return;
  if (request.itemAction & (ODA_DRAWENTIRE | ODA_SELECT)) {
    bool selected = (request.itemState & ODS_SELECTED) != 0;
    COLORREF oldText = 0, oldBack = 0;
    if (selected) {
      oldText = SetTextColor(request.hDC, colours.highlightText);
      oldBack = SetBkColor(request.hDC, colours.highlight);
    }
    drawContent(request);
    if (selected) {
      SetTextColor(request.hDC, oldText);
      SetBkColor(request.hDC, oldBack);
    }
  }
  if ((request.itemAction & ODA_FOCUS) || (request.itemState & ODS_FOCUS)) DrawFocusRect(request.hDC, &request.rcItem);
}
