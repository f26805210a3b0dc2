#include "store/folded_key.h"
#include "store/indexes.h"

int CompareNoCase(const char* a, const char* b) {
  const unsigned char* x = reinterpret_cast<const unsigned char*>(a);
  const unsigned char* y = reinterpret_cast<const unsigned char*>(b);
  for (;; ++x, ++y) {
    if (*x == *y) {
      if (*x == 0) return 0;
      continue;
    }
    unsigned char fx = FoldByte(*x);
    unsigned char fy = FoldByte(*y);
    if (fx != fy) return fx < fy ? -1 : 1;
  }
}
