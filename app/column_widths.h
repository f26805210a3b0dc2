// The four "InBox" column widths and the header boundaries b0..b4 made from them.
#pragma once

#include "app/panes/header_cells.h"

constexpr int kToRightEdge = -1;  // "subject" default: the last column reaches the header's edge

struct ColumnWidths {
  int attribute = 26;
  int sender = 100;
  int date = 100;
  int subject = kToRightEdge;
};

// Boundaries over a header whose client area spans left..right.
HeaderCells CellsFromWidths(const ColumnWidths& widths, int left, int right);

// Each width as the difference of its two boundaries (so "subject" is always a real width).
ColumnWidths WidthsFromCells(const HeaderCells& cells);

// Moves b4 out to the header's right edge when it lies left of it; never moves it in.
void WidenLastColumn(HeaderCells& cells, int headerRight);
