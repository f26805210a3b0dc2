// What an export writes: which persons and groups, and which groups each person belongs to.
#pragma once

#include <cstdint>
#include <vector>

#include "app/panes/item_ref.h"
#include "store/records.h"

// The persons an export writes, as slots in slot order: every live person when nothing is
// selected, else the selected persons and the live members of the selected groups, each once.
std::vector<uint32_t> PersonsToExport(const AddressStore& store, const std::vector<ItemRef>& selection);

// The groups an export writes, in slot order: every live group when nothing is selected, else
// the selected live groups.
std::vector<uint32_t> GroupsToExport(const AddressStore& store, const std::vector<ItemRef>& selection);

// For every person slot, the live groups it belongs to, in group slot order.
std::vector<std::vector<uint32_t>> GroupsOfPersons(const AddressStore& store);

bool IsLivePerson(const AddressStore& store, uint32_t slot);
