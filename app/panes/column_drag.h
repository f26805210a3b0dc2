// Column boundaries moved by dragging in the column header: drag zones and release rules.
#pragma once

#include "app/panes/header_cells.h"

struct DragZones {
  int b2Left = 0, b2Right = 0;  // [left, right): empty when left == right
  int b3Left = 0, b3Right = 0;
};

enum class DragState { None, MovingB2, MovingB3 };

DragZones ComputeDragZones(const HeaderCells& cells);

// Which drag a press at x starts (the b2 zone wins where the zones overlap).
DragState DragForPress(const DragZones& zones, int x);

// Boundaries after releasing a drag with the guide line at x.
HeaderCells ReleaseDrag(const HeaderCells& cells, DragState drag, int x);

// Column (1..4) whose cell holds x, or 0 outside every cell.
int ColumnAt(const HeaderCells& cells, int x);
