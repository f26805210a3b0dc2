// HeaderCells: the five column boundaries b0..b4 shared by the column header and the entry list.
#pragma once

struct HeaderCells {
  int b[5] = {0, 0, 0, 0, 0};
};
