#include "app/panes/column_drag.h"

namespace {
constexpr int kZoneHalfWidth = 10;
bool InZone(int left, int right, int x) { return x >= left && x < right; }
}  // namespace

DragZones ComputeDragZones(const HeaderCells& cells) {
  const int* b = cells.b;
  DragZones zones;
  zones.b3Left = b[3] - kZoneHalfWidth;
  zones.b3Right = b[3] + kZoneHalfWidth;
  if (b[3] > b[2]) {
    zones.b2Left = b[2] - kZoneHalfWidth;
    zones.b2Right = b[2] + kZoneHalfWidth;
  } else {
    zones.b2Left = zones.b2Right = b[2];
  }
  return zones;
}

DragState DragForPress(const DragZones& zones, int x) {
  if (InZone(zones.b2Left, zones.b2Right, x)) return DragState::MovingB2;
  if (InZone(zones.b3Left, zones.b3Right, x)) return DragState::MovingB3;
  return DragState::None;
}

HeaderCells ReleaseDrag(const HeaderCells& cells, DragState drag, int x) {
  HeaderCells out = cells;
  int* b = out.b;
  if (x < 0) x = 0;
  if (drag == DragState::MovingB2) {
    int emailWidth = b[3] - b[2];
    if (x <= b[1]) b[2] = b[1];
    else if (x >= b[4]) b[2] = b[4];
    else b[2] = x;
    b[3] = b[2] + emailWidth;
  } else if (drag == DragState::MovingB3) {
    if (x > b[2]) {
      b[3] = x < b[4] ? x : b[4];
    } else {
      int closed = x > b[1] ? x : b[1];
      b[2] = b[3] = closed;
    }
  }
  return out;
}

int ColumnAt(const HeaderCells& cells, int x) {
  for (int column = 1; column <= 4; ++column)
    if (x >= cells.b[column - 1] && x < cells.b[column]) return column;
  return 0;
}
