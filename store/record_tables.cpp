// Growth of the two tables. Slots are only appended; growing never moves a record to
// another slot. A table never holds more than kMaxSlots usable slots.
#include <algorithm>
#include <new>

#include "store/records.h"

namespace {

template <typename Record>
bool Reserve(std::optional<RecordTable<Record>>& table) {
  try {
    if (!table) {
      RecordTable<Record> created;
      created.slots.resize(kGrowStep);
      created.capacity = kGrowStep;
      table = std::move(created);
      return true;
    }
    if (table->used < table->capacity) return true;
    if (table->used >= kMaxSlots) return false;
    uint32_t grown = std::min<uint32_t>(table->capacity + kGrowStep, kMaxSlots);
    if (table->slots.size() < grown) table->slots.resize(grown);
    table->capacity = grown;
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace

bool ReserveRecordSlot(std::optional<PersonTable>& table) { return Reserve(table); }
bool ReserveRecordSlot(std::optional<GroupTable>& table) { return Reserve(table); }

bool GrowPersonTableForBatch(std::optional<PersonTable>& table, uint32_t batchSize) {
  uint32_t used = table ? table->used : 0;
  if (batchSize > kMaxSlots - used) return false;
  try {
    if (!table) {
      PersonTable created;
      created.slots.resize(static_cast<size_t>(batchSize) + 1);
      created.capacity = batchSize;
      table = std::move(created);
      return true;
    }
    uint32_t grown = static_cast<uint32_t>(
        std::min<uint64_t>(static_cast<uint64_t>(table->capacity) + batchSize, kMaxSlots));
    grown = std::max(grown, table->capacity);
    if (table->slots.size() < grown) table->slots.resize(grown);
    table->capacity = grown;
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

void FreeAddressStore(AddressStore& store) {
  store.persons.reset();
  store.groups.reset();  // each GroupRecord releases its own member list
  store.searchTexts.persons.clear();
  store.searchTexts.groups.clear();
}

bool HasLivePerson(const AddressStore& store) {
  if (!store.persons) return false;
  for (uint32_t slot = 0; slot < store.persons->used; ++slot)
    if ((*store.persons)[slot].deleted == 0) return true;
  return false;
}
