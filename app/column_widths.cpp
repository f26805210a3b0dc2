#include "app/column_widths.h"

HeaderCells CellsFromWidths(const ColumnWidths& widths, int left, int right) {
  HeaderCells cells;
  cells.b[0] = left;
  cells.b[1] = cells.b[0] + widths.attribute;
  cells.b[2] = cells.b[1] + widths.sender;
  cells.b[3] = cells.b[2] + widths.date;
  cells.b[4] = widths.subject == kToRightEdge ? right : cells.b[3] + widths.subject;
  return cells;
}

ColumnWidths WidthsFromCells(const HeaderCells& cells) {
  return {cells.b[1] - cells.b[0], cells.b[2] - cells.b[1], cells.b[3] - cells.b[2], cells.b[4] - cells.b[3]};
}

void WidenLastColumn(HeaderCells& cells, int headerRight) {
  if (cells.b[4] < headerRight) cells.b[4] = headerRight;
}
