// The three column texts of one entry-list line, read from the record an ItemRef names.
#pragma once

#include <string>
#include <string_view>

#include "app/panes/item_ref.h"
#include "store/records.h"

struct EntryTexts {
  bool found = false;     // false when the record's table is absent or the slot is out of range
  bool isGroup = false;
  std::string name;       // " " + description or name
  std::string email;      // " " + email for persons; empty for groups
  std::string memo;       // " " + memo
};

EntryTexts ReadEntryTexts(const AddressStore& store, ItemRef ref);

// The description (a group's name) the line begins with, as it stands in the record (no
// leading blank, nothing copied); empty when the record cannot be read.
std::string_view EntryDescription(const AddressStore& store, ItemRef ref);
