// What a screen reader is told when a list's selection changes, as the platform's own lists tell
// it: the one item now selected alone (unless a single other item just left it), each item added
// or removed while they are few, or only that the selection changed within the list when they
// are many.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr size_t kMostSingleSelectionEvents = 20;

struct SelectionEvents {
  enum class Kind { kNone, kSelection, kAddRemove, kWithin } kind = Kind::kNone;
  std::vector<uint32_t> added;    // the items (ascending) that joined the selection
  std::vector<uint32_t> removed;  // and those that left it
};

// `before` and `after` are the selected items, ascending and each item once.
SelectionEvents DecideSelectionEvents(const std::vector<uint32_t>& before, const std::vector<uint32_t>& after);
