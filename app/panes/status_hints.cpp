#include "app/panes/status_hints.h"

namespace {
struct HintRow {
  int key;
  int stringId;
};
constexpr HintRow kHints[] = {{181, 103}, {182, 104}, {183, 105}, {184, 106},
                              {189, 107}, {186, 124}, {187, 125}, {188, 126}};
}  // namespace

int StatusHintString(int hintKey) {
  for (const HintRow& row : kHints)
    if (row.key == hintKey) return row.stringId;
  return 0;
}

int StatusHintKeyFor(int controlId, bool isHintButton) {
  return isHintButton && StatusHintString(controlId) != 0 ? controlId : 0;
}
