#include "dialogs/delete_undo.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <optional>
#include <string>
#include <tuple>
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

struct LiveKeys {
  std::unordered_set<std::string> persons, groups;
};

// The folded keys of the live records outside `entries`: a restored entry's key among them
// would be held twice, and group files name members by it.
LiveKeys LiveKeysBesides(const AddressStore& store, const std::vector<ItemRef>& entries) {
  LiveKeys keys;
  if (store.persons) {
    std::vector<bool> left = SlotsOfKind(entries, kPersonItem, store.persons->used);
    for (uint32_t p = 0; p < store.persons->used; ++p)
      if (!(*store.persons)[p].deleted && !left[p]) keys.persons.insert(FoldedKey((*store.persons)[p].description, store.codePage));
  }
  if (store.groups) {
    std::vector<bool> left = SlotsOfKind(entries, kGroupItem, store.groups->used);
    for (uint32_t g = 0; g < store.groups->used; ++g)
      if (!(*store.groups)[g].deleted && !left[g]) keys.groups.insert(FoldedKey((*store.groups)[g].name, store.codePage));
  }
  return keys;
}

// The key of an entry that still has its record, or nothing.
std::optional<std::string> KeyOf(const AddressStore& store, ItemRef entry) {
  uint32_t slot = ItemSlot(entry);
  if (ItemKindOf(entry) == kGroupItem) {
    if (store.groups && slot < store.groups->used) return FoldedKey((*store.groups)[slot].name, store.codePage);
  } else if (store.persons && slot < store.persons->used) {
    return FoldedKey((*store.persons)[slot].description, store.codePage);
  }
  return std::nullopt;
}

bool KeyHeld(const LiveKeys& keys, ItemRef entry, const std::string& key) {
  return (ItemKindOf(entry) == kGroupItem ? keys.groups : keys.persons).count(key) > 0;
}

std::vector<ItemRef> EntriesOf(const std::vector<DeleteUndo::Placed>& placed) {
  std::vector<ItemRef> entries;
  entries.reserve(placed.size());
  for (const auto& item : placed) entries.push_back(item.entry);
  return entries;
}

// True when every entry still has its record and no key is held twice that was held once at the
// delete.
bool KeysStillFree(const AddressStore& store, const DeleteUndo& undo) {
  std::vector<ItemRef> entries = EntriesOf(undo.entries);
  LiveKeys now = LiveKeysBesides(store, entries);
  for (ItemRef entry : entries) {
    std::optional<std::string> key = KeyOf(store, entry);
    if (!key) return false;
    bool shared = std::find(undo.sharedKeys.begin(), undo.sharedKeys.end(), entry) != undo.sharedKeys.end();
    if (KeyHeld(now, entry, *key) && !shared) return false;
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
  LiveKeys others = LiveKeysBesides(store, entries);
  for (ItemRef entry : entries) {
    std::optional<std::string> key = KeyOf(store, entry);
    if (key && KeyHeld(others, entry, *key)) undo.sharedKeys.push_back(entry);
  }
  undo.changeCount = store.changeCount;
  return undo;
}

void ApplyDelete(AddressStore& store, DeleteUndo& undo) {
  FlagDeletedEntries(store, EntriesOf(undo.entries));
  undo.changeCount = ++store.changeCount;
}

bool CanUndoDelete(const AddressStore& store, const DeleteUndo& undo) {
  return !undo.entries.empty() && undo.changeCount == store.changeCount;
}

UndoOutcome RestoreDeletedEntries(AddressStore& store, const DeleteUndo& undo) {
  if (!CanUndoDelete(store, undo)) return UndoOutcome::BookChanged;
  if (!KeysStillFree(store, undo)) return UndoOutcome::KeyTaken;
  for (const auto& placed : undo.entries) {
    uint32_t slot = ItemSlot(placed.entry);
    if (ItemKindOf(placed.entry) == kGroupItem) {
      if (GroupRecord* group = SlotOf(store.groups, slot)) group->deleted = 0;
      RefoldGroup(store, slot);
    } else if (PersonRecord* person = SlotOf(store.persons, slot)) {
      person->deleted = 0;
      RefoldPerson(store, slot);
    }
  }
  for (const auto& place : undo.memberships) PutBackMember(store, place);
  ++store.changeCount;
  FreeIndexes(store);
  BuildIndexes(store);
  return UndoOutcome::Restored;
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

namespace {

// Each slot's place in an index read in the given direction; slots the index lacks go last.
std::vector<uint32_t> RanksOf(const SortedIndex& index, uint32_t used, bool ascending) {
  std::vector<uint32_t> rank(used, UINT32_MAX);
  if (!index.built) return rank;
  uint32_t count = static_cast<uint32_t>(std::clamp<int64_t>(index.count, 0, static_cast<int64_t>(index.entries.size())));
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t slot = index.entries[i];
    if (slot < used) rank[slot] = ascending ? i : count - 1 - i;
  }
  return rank;
}

}  // namespace

std::vector<DeleteUndo::Placed> PlacesInOrder(const AddressStore& store, EntryOrder order,
                                              const std::vector<ItemRef>& items,
                                              const std::vector<ItemRef>& entries) {
  bool byName = order == EntryOrder::ByNameAscending || order == EntryOrder::ByNameDescending;
  bool ascending = order == EntryOrder::ByNameAscending || order == EntryOrder::ByMailAscending;
  uint32_t persons = store.persons ? store.persons->used : 0;
  uint32_t groups = store.groups ? store.groups->used : 0;
  std::vector<uint32_t> personRank = RanksOf(byName ? store.personNameIndex : store.personMailIndex, persons, ascending);
  std::vector<uint32_t> groupRank;
  if (byName) groupRank = RanksOf(store.groupNameIndex, groups, ascending);
  // Persons before groups; within a kind the rank, then the slot (no two entries tie).
  auto key = [&](ItemRef entry) {
    uint32_t slot = ItemSlot(entry);
    bool group = ItemKindOf(entry) == kGroupItem;
    const std::vector<uint32_t>* rank = group ? (byName ? &groupRank : nullptr) : &personRank;
    uint32_t place = !rank ? slot : slot < rank->size() ? (*rank)[slot] : UINT32_MAX;
    return std::tuple<bool, uint32_t, uint32_t>(group, place, slot);
  };
  std::vector<ItemRef> sorted = entries;
  std::sort(sorted.begin(), sorted.end(), [&](ItemRef a, ItemRef b) { return key(a) < key(b); });
  std::vector<DeleteUndo::Placed> placed;
  placed.reserve(sorted.size());
  for (size_t i = 0; i < sorted.size(); ++i) {
    auto at = std::lower_bound(items.begin(), items.end(), sorted[i],
                               [&](ItemRef item, ItemRef entry) { return key(item) < key(entry); });
    placed.push_back({sorted[i], static_cast<int>((at - items.begin()) + static_cast<std::ptrdiff_t>(i))});
  }
  return placed;
}
