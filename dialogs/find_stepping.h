// The Find dialog's search over the entry list, position by position, wrapping to the top once.
#pragma once

#include <cstdint>
#include <vector>

#include "app/panes/item_ref.h"
#include "store/records.h"

enum class FindMode { kDescription, kEmail };

struct FindPositions {
  int32_t FindResumePosition = 0;  // list position the next search starts at
  int32_t FindHitPosition = -1;    // position the last search found, -1 for none
};

// Description mode: a person's description or a group's name holds the text (case counts).
// E-mail mode: a person's e-mail holds it; groups never match. A match is a run of whole
// characters of the store's code page, never one that begins on a trail byte.
bool EntryMatches(const AddressStore& store, ItemRef item, FindMode mode, const char* text);

// Steps from FindResumePosition through the items in list order, then once from the top.
void FindNextEntry(FindPositions& positions, const std::vector<ItemRef>& items, const AddressStore& store,
                   FindMode mode, const char* text);
