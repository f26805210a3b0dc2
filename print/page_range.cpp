#include "print/page_range.h"

#include <algorithm>

PageRange PagesToPrint(int pageCount, int from, int to) {
  PageRange range;
  range.from = std::max(from, 1);
  range.to = std::min(to, pageCount);
  if (range.Empty()) range.to = range.from - 1;
  return range;
}
