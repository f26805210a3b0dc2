// What the editing dialogs and the delete command change in the tables, before the files are written.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dialogs/name_parts.h"
#include "app/panes/item_ref.h"
#include "store/records.h"

struct PersonFields {
  std::string description;
  std::string email;
  std::string memo;
  NameParts names;
};

struct GroupFields {
  std::string name;
  std::string memo;
  std::vector<uint32_t> members;  // person slots in member order
};

// Appends a person in slot `used`, counts it and rebuilds the indexes. The new slot, or -1
// (nothing changed) when the table cannot grow.
int AddPerson(AddressStore& store, const PersonFields& fields);
int AddGroup(AddressStore& store, const GroupFields& fields);

// Overwrites the slot's fields (deleted or not) and rebuilds the indexes; false when the
// table or the slot does not exist.
bool UpdatePerson(AddressStore& store, int slot, const PersonFields& fields);
bool UpdateGroup(AddressStore& store, int slot, const GroupFields& fields);

// Sets `deleted` on each entry, walking from the last item to the first; slots the tables do
// not hold are passed over. The indexes are left for the caller to rebuild after saving.
void FlagDeletedEntries(AddressStore& store, const std::vector<ItemRef>& items);
