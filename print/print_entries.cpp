#include "print/print_entries.h"

#include "dialogs/name_parts.h"
#include "store/folded_key.h"

namespace {

void AddLine(PrintBlock& block, std::string_view text, bool bold = false) {
  if (!text.empty()) block.push_back({std::string(text), bold});
}

std::string_view Field(const char* field, size_t size) { return FieldText(field, size); }

PrintBlock PersonBlock(const PersonRecord& person) {
  PrintBlock block;
  AddLine(block, Field(person.description, sizeof person.description), true);
  AddLine(block, Field(person.email, sizeof person.email));
  NameParts names = SplitNames(person.names, sizeof person.names);
  AddLine(block, names.first);
  AddLine(block, names.middle);
  AddLine(block, names.last);
  AddLine(block, Field(person.memo, sizeof person.memo));
  return block;
}

PrintBlock GroupBlock(const AddressStore& store, const GroupRecord& group, std::string_view groupWord) {
  PrintBlock block;
  std::string title(Field(group.name, sizeof group.name));
  block.push_back({title + " (" + std::string(groupWord) + ")", true});
  AddLine(block, Field(group.memo, sizeof group.memo));
  std::string members;
  if (group.members && store.persons) {
    for (uint32_t slot : *group.members) {
      if (slot >= store.persons->used || (*store.persons)[slot].deleted) continue;
      if (!members.empty()) members += ", ";
      members += Field((*store.persons)[slot].description, kTextFieldSize);
    }
  }
  AddLine(block, members);
  return block;
}

}  // namespace

std::vector<PrintBlock> EntryBlocks(const AddressStore& store, const std::vector<ItemRef>& entries, std::string_view groupWord) {
  std::vector<PrintBlock> blocks;
  for (ItemRef entry : entries) {
    uint32_t slot = ItemSlot(entry);
    if (ItemKindOf(entry) == kGroupItem) {
      if (store.groups && slot < store.groups->used && !(*store.groups)[slot].deleted)
        blocks.push_back(GroupBlock(store, (*store.groups)[slot], groupWord));
    } else if (store.persons && slot < store.persons->used && !(*store.persons)[slot].deleted) {
      blocks.push_back(PersonBlock((*store.persons)[slot]));
    }
  }
  return blocks;
}
