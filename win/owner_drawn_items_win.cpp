#include "win/owner_drawn_items_win.h"

SelectionColours ReadSelectionColours() {
  return {GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_HIGHLIGHTTEXT)};
}
