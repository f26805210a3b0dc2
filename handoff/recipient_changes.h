// What >>To adds to the recipient list and what a delete of entries takes out of it, worked out
// on the lists' items so that the list box is changed in one go.
#pragma once

#include <vector>

#include "app/panes/item_ref.h"

// The selected entries not yet among the recipients, in selection order, each once.
std::vector<ItemRef> RecipientsToAppend(const std::vector<ItemRef>& recipients, const std::vector<ItemRef>& selected);

// The recipient positions (ascending) that go when these entries are deleted: for each entry,
// the first recipient still left that holds it.
std::vector<int> RecipientPositionsToDrop(const std::vector<ItemRef>& recipients, const std::vector<ItemRef>& deleted);
