// Tab and Shift+Tab among the main window's panes that take the keyboard.
#pragma once

#include <vector>

// The member after (or before, `backwards`) `current` in the cycle that can take the focus,
// wrapping at either end; `current` itself when no other can, -1 when none can. A `current`
// outside the cycle (-1) starts from the first member (the last one backwards).
int NextInFocusCycle(const std::vector<bool>& canTakeFocus, int current, bool backwards);
