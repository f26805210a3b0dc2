// Where the main window opens: the stored placement when it is usable, else a centred default.
#pragma once

#include <cstdint>

constexpr int kMissingSetting = INT32_MIN;  // default of a placement key that is absent

struct ScreenRect {
  int left = 0, top = 0, right = 0, bottom = 0;
};

struct WindowPlacement {
  int x = kMissingSetting, y = kMissingSetting;
  int width = kMissingSetting, height = kMissingSetting;
};

bool operator==(const WindowPlacement& a, const WindowPlacement& b);

// The stored values unchanged when none is missing, both sizes are positive and smaller than
// the desktop's; otherwise all four replaced by the default (x and y are never compared).
WindowPlacement ResolvePlacement(const WindowPlacement& stored, const ScreenRect& desktop);
