#include "app/panes/selection_events.h"

#include <algorithm>
#include <iterator>

SelectionEvents DecideSelectionEvents(const std::vector<uint32_t>& before, const std::vector<uint32_t>& after) {
  SelectionEvents events;
  std::set_difference(after.begin(), after.end(), before.begin(), before.end(), std::back_inserter(events.added));
  std::set_difference(before.begin(), before.end(), after.begin(), after.end(), std::back_inserter(events.removed));
  if (events.added.empty() && events.removed.empty()) return events;
  // One item is the whole selection now: a plain click or a take. Only one item leaving beside
  // it is told as that item's removal (a Ctrl+click on it).
  bool oneLeft = events.added.empty() && events.removed.size() == 1;
  if (after.size() == 1 && !oneLeft) {
    events.kind = SelectionEvents::Kind::kSelection;
  } else if (events.added.size() + events.removed.size() <= kMostSingleSelectionEvents) {
    events.kind = SelectionEvents::Kind::kAddRemove;
  } else {
    events.kind = SelectionEvents::Kind::kWithin;
  }
  return events;
}
