// What is printed of each entry: the lines of its block, read from the records.
#pragma once

#include <string_view>
#include <vector>

#include "app/panes/item_ref.h"
#include "print/print_layout.h"
#include "store/records.h"

// A person: its description in bold, then e-mail, first, middle and last name and memo, each
// when not empty. A group: its name in bold with `groupWord`, its memo and its live members'
// descriptions on one line. Entries the tables do not hold, or deleted ones, give no block.
std::vector<PrintBlock> EntryBlocks(const AddressStore& store, const std::vector<ItemRef>& entries, std::string_view groupWord);
