// Small in-memory books for the editing tests.
#pragma once

#include <string>
#include <vector>

#include "store/indexes.h"
#include "store/records.h"

inline uint32_t AddTestPerson(AddressStore& store, const std::string& description, const std::string& email = "",
                              int deleted = 0) {
  ReserveRecordSlot(store.persons);
  uint32_t slot = store.persons->used++;
  PersonRecord& person = (*store.persons)[slot];
  CopyToField(person.description, sizeof person.description, description);
  CopyToField(person.email, sizeof person.email, email);
  person.deleted = deleted;
  return slot;
}

// A person with the names ("first;middle;last") and memo that the exchange formats carry.
inline uint32_t AddTestPerson(AddressStore& store, const std::string& description, const std::string& email,
                              const std::string& names, const std::string& memo, int deleted = 0) {
  uint32_t slot = AddTestPerson(store, description, email, deleted);
  PersonRecord& person = (*store.persons)[slot];
  CopyToField(person.names, sizeof person.names, names);
  CopyToField(person.memo, sizeof person.memo, memo);
  return slot;
}

inline uint32_t AddTestGroup(AddressStore& store, const std::string& name, const MemberList& members = {},
                             int deleted = 0) {
  ReserveRecordSlot(store.groups);
  uint32_t slot = store.groups->used++;
  GroupRecord& group = (*store.groups)[slot];
  CopyToField(group.name, sizeof group.name, name);
  group.memberCount = static_cast<uint32_t>(members.size());
  if (!members.empty()) group.members = members;
  group.deleted = deleted;
  return slot;
}

inline uint32_t CountLivePersons(const AddressStore& store) {
  uint32_t n = 0;
  if (store.persons)
    for (uint32_t i = 0; i < store.persons->used; ++i) n += (*store.persons)[i].deleted == 0;
  return n;
}

// The descriptions of a group's live members, in the group's order.
inline std::vector<std::string> LiveMembersOf(const AddressStore& store, const char* group) {
  std::vector<std::string> names;
  const GroupRecord& g = (*store.groups)[FindGroupByName(store, group)];
  if (g.members)
    for (uint32_t slot : *g.members)
      if (!(*store.persons)[slot].deleted) names.push_back((*store.persons)[slot].description);
  return names;
}

// Appends a person to a group's members, as the Select members dialog does.
inline void AddTestMember(AddressStore& store, const char* group, const char* person) {
  GroupRecord& g = (*store.groups)[FindGroupByName(store, group)];
  g.members->push_back(static_cast<uint32_t>(FindPersonByDescription(store, person)));
  g.memberCount = static_cast<uint32_t>(g.members->size());
}
