#include "dialogs/delete_undo.h"

#include <algorithm>
#include <unordered_set>

#include "dialogs/entry_records.h"
#include "handoff/recipient_changes.h"
#include "store/folded_key.h"
#include "store/indexes.h"

namespace {

template <typename Record>
Record* SlotOf(std::optional<RecordTable<Record>>& table, uint32_t slot) {
  if (!table || slot >= table->used || slot >= table->slots.size()) return nullptr;
  return &(*table)[slot];
}

// Which slots of one kind the delete takes, as a flag per slot of the table.
std::vector<bool> SlotsOfKind(const std::vector<ItemRef>& entries, uint32_t kind, uint32_t used) {
  std::vector<bool> taken(used, false);
  for (ItemRef entry : entries)
    if (ItemKindOf(entry) == kind && ItemSlot(entry) < used) taken[ItemSlot(entry)] = true;
  return taken;
}

std::vector<DeleteUndo::Membership> MembershipsOf(const AddressStore& store, const std::vector<ItemRef>& entries) {
  std::vector<DeleteUndo::Membership> found;
  if (!store.persons || !store.groups) return found;
  std::vector<bool> persons = SlotsOfKind(entries, kPersonItem, store.persons->used);
  std::vector<bool> groups = SlotsOfKind(entries, kGroupItem, store.groups->used);
  for (uint32_t g = 0; g < store.groups->used; ++g) {
    const GroupRecord& group = (*store.groups)[g];
    if (group.deleted || groups[g] || !group.members) continue;
    const MemberList& members = *group.members;
    for (uint32_t i = 0; i < members.size(); ++i)
      if (members[i] < persons.size() && persons[members[i]]) found.push_back({members[i], g, i});
  }
  return found;
}

std::string FoldedKey(const char* field, const CodePage& page) {
  std::string key;
  AppendFolded(key, FieldText(field, kTextFieldSize), page);
  return key;
}

// A restored record whose key a live record of its kind took meanwhile would make the key
// ambiguous, and group files name members by it.
bool KeysStillFree(const AddressStore& store, const std::vector<DeleteUndo::Placed>& entries) {
  PersonLookup persons(store);
  std::unordered_set<std::string> groupNames;
  if (store.groups)
    for (uint32_t g = 0; g < store.groups->used; ++g)
      if (!(*store.groups)[g].deleted) groupNames.insert(FoldedKey((*store.groups)[g].name, store.codePage));
  for (const auto& placed : entries) {
    uint32_t slot = ItemSlot(placed.entry);
    if (ItemKindOf(placed.entry) == kGroupItem) {
      if (store.groups && slot < store.groups->used && groupNames.count(FoldedKey((*store.groups)[slot].name, store.codePage)))
        return false;
    } else if (store.persons && slot < store.persons->used &&
               persons.Find((*store.persons)[slot].description) >= 0) {
      return false;
    }
  }
  return true;
}

void PutBackMember(AddressStore& store, const DeleteUndo::Membership& place) {
  GroupRecord* group = SlotOf(store.groups, place.group);
  if (!group) return;
  if (!group->members) group->members.emplace();
  MemberList& members = *group->members;
  if (place.position < members.size() && members[place.position] == place.person) return;
  size_t at = std::min<size_t>(place.position, members.size());
  members.insert(members.begin() + static_cast<std::ptrdiff_t>(at), place.person);
  group->memberCount = static_cast<uint32_t>(members.size());
}

}  // namespace

DeleteUndo RecordDelete(const AddressStore& store, const std::vector<ItemRef>& entries,
                        const std::vector<int>& positions, const std::vector<ItemRef>& recipients) {
  DeleteUndo undo;
  for (size_t i = 0; i < entries.size() && i < positions.size(); ++i) undo.entries.push_back({entries[i], positions[i]});
  undo.memberships = MembershipsOf(store, entries);
  // The delete drops, walking the entries from the last, the first recipient left for each.
  std::vector<ItemRef> lastFirst(entries.rbegin(), entries.rend());
  for (int position : RecipientPositionsToDrop(recipients, lastFirst))
    undo.recipients.push_back({recipients[static_cast<size_t>(position)], position});
  undo.changeCount = store.changeCount;
  return undo;
}

void ApplyDelete(AddressStore& store, DeleteUndo& undo) {
  std::vector<ItemRef> entries;
  entries.reserve(undo.entries.size());
  for (const auto& placed : undo.entries) entries.push_back(placed.entry);
  FlagDeletedEntries(store, entries);
  undo.changeCount = ++store.changeCount;
}

bool CanUndoDelete(const AddressStore& store, const DeleteUndo& undo) {
  return !undo.entries.empty() && undo.changeCount == store.changeCount;
}

bool RestoreDeletedEntries(AddressStore& store, const DeleteUndo& undo) {
  if (!CanUndoDelete(store, undo) || !KeysStillFree(store, undo.entries)) return false;
  for (const auto& placed : undo.entries) {
    uint32_t slot = ItemSlot(placed.entry);
    if (ItemKindOf(placed.entry) == kGroupItem) {
      if (GroupRecord* group = SlotOf(store.groups, slot)) group->deleted = 0;
    } else if (PersonRecord* person = SlotOf(store.persons, slot)) {
      person->deleted = 0;
    }
  }
  for (const auto& place : undo.memberships) PutBackMember(store, place);
  ++store.changeCount;
  FreeIndexes(store);
  BuildIndexes(store);
  return true;
}

PlacedList WithPlacedItems(const std::vector<ItemRef>& items, const std::vector<DeleteUndo::Placed>& placed) {
  PlacedList out;
  out.items.reserve(items.size() + placed.size());
  size_t next = 0;
  for (const auto& item : placed) {
    size_t want = static_cast<size_t>(std::max(item.position, 0));
    while (out.items.size() < want && next < items.size()) out.items.push_back(items[next++]);
    out.placedAt.push_back(static_cast<int>(out.items.size()));
    out.items.push_back(item.entry);
  }
  out.items.insert(out.items.end(), items.begin() + static_cast<std::ptrdiff_t>(next), items.end());
  return out;
}
