#include "store/folded_key.h"
#include "store/indexes.h"

// Up to the first difference both texts hold the same characters (a lead byte is never a letter,
// so folding keeps lead bytes where they were), so one trail flag serves both.
int CompareNoCase(const char* a, const char* b, const CodePage& page) {
  const unsigned char* x = reinterpret_cast<const unsigned char*>(a);
  const unsigned char* y = reinterpret_cast<const unsigned char*>(b);
  for (bool trail = false;; ++x, ++y) {
    if (*x == *y) {
      if (*x == 0) return 0;
      trail = !trail && page.IsLead(*x);
      continue;
    }
    unsigned char fx = trail ? *x : FoldByte(*x);
    unsigned char fy = trail ? *y : FoldByte(*y);
    if (fx != fy) return fx < fy ? -1 : 1;
    trail = false;  // two letters differing in case: single-byte characters
  }
}
