#include "dialogs/entry_records.h"

#include "store/indexes.h"

namespace {

template <typename Record>
Record* ExistingSlot(std::optional<RecordTable<Record>>& table, int slot) {
  if (!table || slot < 0 || static_cast<uint32_t>(slot) >= table->used) return nullptr;
  if (static_cast<size_t>(slot) >= table->slots.size()) return nullptr;
  return &(*table)[static_cast<uint32_t>(slot)];
}

void WriteFields(PersonRecord& record, const PersonFields& fields, const CodePage& page) {
  CopyToField(record.description, sizeof record.description, fields.description, page);
  CopyToField(record.email, sizeof record.email, fields.email, page);
  CopyToField(record.memo, sizeof record.memo, fields.memo, page);
  JoinNames(fields.names, record.names, sizeof record.names, page);
}

void WriteFields(GroupRecord& record, const GroupFields& fields, const CodePage& page) {
  CopyToField(record.name, sizeof record.name, fields.name, page);
  CopyToField(record.memo, sizeof record.memo, fields.memo, page);
  record.memberCount = static_cast<uint32_t>(fields.members.size());
  if (fields.members.empty())
    record.members.reset();
  else
    record.members = fields.members;
}

// Every add or edit is a change of the book (it ends what a delete left to undo).
void Reindex(AddressStore& store) {
  ++store.changeCount;
  FreeIndexes(store);
  BuildIndexes(store);
}

// The search box's folded texts follow every written record.
void Refold(AddressStore& store, const std::optional<PersonTable>&, uint32_t slot) { RefoldPerson(store, slot); }
void Refold(AddressStore& store, const std::optional<GroupTable>&, uint32_t slot) { RefoldGroup(store, slot); }

template <typename Record, typename Fields>
int Add(AddressStore& store, std::optional<RecordTable<Record>>& table, const Fields& fields) {
  if (!ReserveRecordSlot(table)) return -1;
  uint32_t slot = table->used;
  WriteFields((*table)[slot], fields, store.codePage);
  ++table->used;
  Refold(store, table, slot);
  Reindex(store);
  return static_cast<int>(slot);
}

template <typename Record, typename Fields>
bool Update(AddressStore& store, std::optional<RecordTable<Record>>& table, int slot, const Fields& fields) {
  Record* record = ExistingSlot(table, slot);
  if (!record) return false;
  WriteFields(*record, fields, store.codePage);
  Refold(store, table, static_cast<uint32_t>(slot));
  Reindex(store);
  return true;
}

}  // namespace

int AddPerson(AddressStore& store, const PersonFields& fields) { return Add(store, store.persons, fields); }
int AddGroup(AddressStore& store, const GroupFields& fields) { return Add(store, store.groups, fields); }

bool UpdatePerson(AddressStore& store, int slot, const PersonFields& fields) {
  return Update(store, store.persons, slot, fields);
}

bool UpdateGroup(AddressStore& store, int slot, const GroupFields& fields) {
  return Update(store, store.groups, slot, fields);
}

void FlagDeletedEntries(AddressStore& store, const std::vector<ItemRef>& items) {
  for (auto it = items.rbegin(); it != items.rend(); ++it) {
    int slot = static_cast<int>(ItemSlot(*it));
    if (ItemKindOf(*it) == kGroupItem) {
      if (GroupRecord* group = ExistingSlot(store.groups, slot)) group->deleted = 1;
    } else if (PersonRecord* person = ExistingSlot(store.persons, slot)) {
      person->deleted = 1;
    }
  }
}
