#include "import/import_merge.h"

#include <cstring>
#include <new>

#include "store/indexes.h"

namespace {

constexpr size_t kMaxJoinedNames = kTextFieldSize - 2;  // a joined text of 259 bytes is refused

// An absent span has no data at all, which CopyToField must not be handed.
void StoreSpan(char* field, size_t fieldSize, std::string_view span) {
  CopyToField(field, fieldSize, span.empty() ? std::string_view("") : span);
}

void FillPerson(PersonRecord& person, const ImportEntry& entry, const char* description) {
  person.deleted = 0;
  std::memcpy(person.description, description, kTextFieldSize);
  // An address longer than the field holds is cut, never spilled into the next field.
  StoreSpan(person.email, kEmailFieldSize, entry.email);
  JoinImportedNames(entry, person.names);
  StoreSpan(person.memo, kTextFieldSize, entry.memo);
}

void AddNewPersons(AddressStore& store, const ImportBatch& batch, std::vector<uint32_t>& added) {
  PersonTable& table = *store.persons;
  PersonLookup lookup(store);
  added.reserve(batch.count());
  for (uint32_t i = 0; i < batch.count(); ++i) {
    char description[kTextFieldSize] = {};  // copied whole into the record: no stack bytes after the text
    StoreSpan(description, kTextFieldSize, batch[i].description);
    if (lookup.Find(description) >= 0) continue;
    if (table.used >= table.capacity || table.used >= table.slots.size()) break;
    uint32_t slot = table.used;
    FillPerson(table[slot], batch[i], description);
    ++table.used;
    added.push_back(slot);
    lookup.Add(slot);
  }
}

}  // namespace

void JoinImportedNames(const ImportEntry& entry, char (&names)[kTextFieldSize]) {
  size_t joined = entry.firstName.size() + entry.middleName.size() + entry.lastName.size() + 2;
  std::memset(names, 0, kTextFieldSize);
  if (joined > kMaxJoinedNames) {
    std::memcpy(names, ";;", 2);
    return;
  }
  char* out = names;
  const std::string_view parts[] = {entry.firstName, entry.middleName, entry.lastName};
  for (size_t i = 0; i < 3; ++i) {
    if (i > 0) *out++ = ';';
    if (!parts[i].empty()) std::memcpy(out, parts[i].data(), parts[i].size());
    out += parts[i].size();
  }
}

std::vector<uint32_t> AppendImportedPersons(AddressStore& store, const ImportBatch& batch) {
  std::vector<uint32_t> added;
  ++store.changeCount;
  if (GrowPersonTableForBatch(store.persons, batch.count())) {
    try {
      AddNewPersons(store, batch, added);
    } catch (const std::bad_alloc&) {
      // Out of memory for the lookup: the persons added so far stay, the rest are left out.
    }
  }
  FreeIndexes(store);
  BuildIndexes(store);
  SavePersonFile(store);
  return added;
}
