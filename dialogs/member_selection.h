// Choosing a group's members: which persons the lists offer and what Append >> adds.
#pragma once

#include <cstdint>
#include <vector>

#include "store/records.h"

// The chosen persons not yet among the members, in the order chosen, each once.
std::vector<uint32_t> MembersToAppend(const std::vector<uint32_t>& members, const std::vector<uint32_t>& chosen);

// Every live person's slot in table order (the select members dialog's left list).
std::vector<uint32_t> LivePersonSlots(const AddressStore& store);

// The group's member slots in member order, leaving out deleted persons and slots the person
// table does not hold. Empty for a missing or deleted group.
std::vector<uint32_t> LiveMemberSlots(const AddressStore& store, uint32_t groupSlot);
