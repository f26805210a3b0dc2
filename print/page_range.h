// Which pages of a printout a page range of the print dialog asks for.
#pragma once

struct PageRange {
  int from = 1;
  int to = 0;  // inclusive; below `from` when no page is asked for
  bool Empty() const { return to < from; }
};

// The pages from..to (1-based, inclusive) that a printout of `pageCount` pages holds: a range
// reaching past the last page stops there, one beginning after it holds none.
PageRange PagesToPrint(int pageCount, int from, int to);
