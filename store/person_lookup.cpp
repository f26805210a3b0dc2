#include <cstring>

#include "store/folded_key.h"
#include "store/indexes.h"

namespace {

std::string FoldedKey(std::string_view text, const CodePage& page) {
  std::string key;
  key.reserve(text.size());
  AppendFolded(key, text, page);
  return key;
}

}  // namespace

PersonLookup::PersonLookup(const AddressStore& store) : store_(store) {
  if (!store.persons) return;
  firstSlot_.reserve(store.persons->used);
  for (uint32_t slot = 0; slot < store.persons->used; ++slot) Add(slot);
}

void PersonLookup::Add(uint32_t slot) {
  if (!store_.persons || slot >= store_.persons->slots.size()) return;
  const PersonRecord& person = (*store_.persons)[slot];
  if (person.deleted != 0) return;
  // emplace keeps an existing entry, which always has the lower slot
  firstSlot_.emplace(FoldedKey(FieldText(person.description, kTextFieldSize), store_.codePage), slot);
}

int PersonLookup::Find(const char* description) const {
  auto it = firstSlot_.find(FoldedKey(std::string_view(description, std::strlen(description)), store_.codePage));
  return it == firstSlot_.end() ? -1 : static_cast<int>(it->second);
}
