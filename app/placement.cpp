#include "app/placement.h"

#include <algorithm>

namespace {

constexpr int kDefaultMaxWidth = 544;
constexpr int kDefaultMaxHeight = 320;

bool StoredPlacementUsable(const WindowPlacement& p, int desktopWidth, int desktopHeight) {
  if (p.x == kMissingSetting || p.y == kMissingSetting || p.width == kMissingSetting ||
      p.height == kMissingSetting)
    return false;
  return p.width > 0 && p.height > 0 && p.height < desktopHeight && p.width < desktopWidth;
}

}  // namespace

bool operator==(const WindowPlacement& a, const WindowPlacement& b) {
  return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

WindowPlacement ResolvePlacement(const WindowPlacement& stored, const ScreenRect& desktop) {
  int desktopWidth = desktop.right - desktop.left;
  int desktopHeight = desktop.bottom - desktop.top;
  if (StoredPlacementUsable(stored, desktopWidth, desktopHeight)) return stored;
  WindowPlacement p;
  p.width = std::min(desktopWidth - 20, kDefaultMaxWidth);
  p.height = std::min((2 * desktopHeight) / 3, kDefaultMaxHeight);
  p.x = desktop.left + (desktopWidth - p.width) / 2;
  p.y = desktop.top + (desktopHeight - p.height) / 2;
  return p;
}
