#include "app/focus_cycle.h"

#include <cstddef>

int NextInFocusCycle(const std::vector<bool>& canTakeFocus, int current, bool backwards) {
  int count = static_cast<int>(canTakeFocus.size());
  if (count == 0) return -1;
  if (current < 0 || current >= count) current = backwards ? 0 : count - 1;
  int step = backwards ? count - 1 : 1;
  for (int tried = 1; tried <= count; ++tried) {
    int candidate = (current + step * tried) % count;
    if (canTakeFocus[static_cast<size_t>(candidate)]) return candidate;
  }
  return -1;
}
