#include "export/export_selection.h"

namespace {

bool IsLiveGroup(const AddressStore& store, uint32_t slot) {
  return store.groups && slot < store.groups->used && !(*store.groups)[slot].deleted;
}

}  // namespace

bool IsLivePerson(const AddressStore& store, uint32_t slot) {
  return store.persons && slot < store.persons->used && !(*store.persons)[slot].deleted;
}

std::vector<std::vector<uint32_t>> GroupsOfPersons(const AddressStore& store) {
  std::vector<std::vector<uint32_t>> groupsOf(store.persons ? store.persons->used : 0);
  if (!store.groups) return groupsOf;
  for (uint32_t g = 0; g < store.groups->used; ++g) {
    const GroupRecord& group = (*store.groups)[g];
    if (group.deleted || !group.members) continue;
    for (uint32_t member : *group.members) {
      if (member >= groupsOf.size()) continue;
      std::vector<uint32_t>& groups = groupsOf[member];
      if (groups.empty() || groups.back() != g) groups.push_back(g);
    }
  }
  return groupsOf;
}

std::vector<uint32_t> PersonsToExport(const AddressStore& store, const std::vector<ItemRef>& selection) {
  std::vector<uint32_t> persons;
  if (!store.persons) return persons;
  std::vector<bool> chosen(store.persons->used, selection.empty());
  for (ItemRef item : selection) {
    uint32_t slot = ItemSlot(item);
    if (ItemKindOf(item) == kPersonItem) {
      if (slot < chosen.size()) chosen[slot] = true;
    } else if (IsLiveGroup(store, slot)) {
      const GroupRecord& group = (*store.groups)[slot];
      if (group.members)
        for (uint32_t member : *group.members)
          if (member < chosen.size()) chosen[member] = true;
    }
  }
  for (uint32_t slot = 0; slot < chosen.size(); ++slot)
    if (chosen[slot] && IsLivePerson(store, slot)) persons.push_back(slot);
  return persons;
}

std::vector<uint32_t> GroupsToExport(const AddressStore& store, const std::vector<ItemRef>& selection) {
  std::vector<uint32_t> groups;
  if (!store.groups) return groups;
  std::vector<bool> chosen(store.groups->used, selection.empty());
  for (ItemRef item : selection)
    if (ItemKindOf(item) == kGroupItem && ItemSlot(item) < chosen.size()) chosen[ItemSlot(item)] = true;
  for (uint32_t slot = 0; slot < chosen.size(); ++slot)
    if (chosen[slot] && IsLiveGroup(store, slot)) groups.push_back(slot);
  return groups;
}
