#include "app/panes/entry_texts.h"

#include <cstring>

namespace {

// A field read within its width, even when it lacks its terminating zero.
std::string Field(const char* field, size_t size) { return std::string(field, strnlen(field, size)); }

}  // namespace

std::string_view EntryDescription(const AddressStore& store, ItemRef ref) {
  uint32_t slot = ItemSlot(ref);
  if (ItemKindOf(ref) == kGroupItem) {
    if (!store.groups || slot >= store.groups->used) return {};
    const GroupRecord& group = (*store.groups)[slot];
    return std::string_view(group.name, strnlen(group.name, sizeof group.name));
  }
  if (!store.persons || slot >= store.persons->used) return {};
  const PersonRecord& person = (*store.persons)[slot];
  return std::string_view(person.description, strnlen(person.description, sizeof person.description));
}

EntryTexts ReadEntryTexts(const AddressStore& store, ItemRef ref) {
  EntryTexts texts;
  uint32_t slot = ItemSlot(ref);
  texts.isGroup = ItemKindOf(ref) == kGroupItem;
  if (texts.isGroup) {
    if (!store.groups || slot >= store.groups->used) return texts;
    const GroupRecord& group = (*store.groups)[slot];
    texts.name = " " + Field(group.name, sizeof group.name);
    texts.memo = " " + Field(group.memo, sizeof group.memo);
  } else {
    if (!store.persons || slot >= store.persons->used) return texts;
    const PersonRecord& person = (*store.persons)[slot];
    texts.name = " " + Field(person.description, sizeof person.description);
    texts.email = " " + Field(person.email, sizeof person.email);
    texts.memo = " " + Field(person.memo, sizeof person.memo);
  }
  texts.found = true;
  return texts;
}
