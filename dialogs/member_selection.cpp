#include "dialogs/member_selection.h"

#include <algorithm>
#include <unordered_set>

namespace {

bool IsLivePerson(const AddressStore& store, uint32_t slot) {
  const auto& persons = store.persons;
  return persons && slot < persons->used && slot < persons->slots.size() && (*persons)[slot].deleted == 0;
}

}  // namespace

std::vector<uint32_t> MembersToAppend(const std::vector<uint32_t>& members, const std::vector<uint32_t>& chosen) {
  std::unordered_set<uint32_t> present(members.begin(), members.end());
  std::vector<uint32_t> added;
  for (uint32_t slot : chosen)
    if (present.insert(slot).second) added.push_back(slot);
  return added;
}

std::vector<uint32_t> LivePersonSlots(const AddressStore& store) {
  std::vector<uint32_t> slots;
  if (!store.persons) return slots;
  for (uint32_t slot = 0; slot < store.persons->used; ++slot)
    if (IsLivePerson(store, slot)) slots.push_back(slot);
  return slots;
}

std::vector<uint32_t> LiveMemberSlots(const AddressStore& store, uint32_t groupSlot) {
  std::vector<uint32_t> slots;
  const auto& groups = store.groups;
  if (!store.persons || !groups || groupSlot >= groups->used || groupSlot >= groups->slots.size()) return slots;
  const GroupRecord& group = (*groups)[groupSlot];
  if (group.deleted != 0 || !group.members) return slots;
  size_t count = std::min<size_t>(group.memberCount, group.members->size());
  for (size_t i = 0; i < count; ++i)
    if (IsLivePerson(store, (*group.members)[i])) slots.push_back((*group.members)[i]);
  return slots;
}
