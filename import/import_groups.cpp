#include "import/import_groups.h"

#include <algorithm>

#include "import/charset.h"
#include "import/text_scan.h"
#include "store/folded_key.h"
#include "store/name_rules.h"

namespace {

constexpr size_t kGroupNameLimit = kTextFieldSize - 2;  // what the group dialog lets one type

std::string Folded(std::string_view name, const CodePage& page) {
  std::string key;
  AppendFolded(key, name, page);
  return key;
}

}  // namespace

bool IsSystemGroupLabel(std::string_view name) {
  for (std::string_view label : {"My Contacts", "myContacts", "Starred in Android", "starred"})
    if (SameNoCase(name, label)) return true;
  return false;
}

ImportGroups::ImportGroups(AddressStore& store, const CodePage& page)
    : store_(store), page_(page), groupsBefore_(store.groups ? store.groups->used : 0) {
  if (!store_.groups) return;
  for (uint32_t slot = 0; slot < store_.groups->used; ++slot) {
    const GroupRecord& group = (*store_.groups)[slot];
    if (!group.deleted) slotOfName_.emplace(Folded(FieldText(group.name, kTextFieldSize), store_.codePage), slot);
  }
}

void ImportGroups::Join(uint32_t personSlot, const std::vector<std::string_view>& names,
                        EntryChanges& changes) {
  for (std::string_view name : names) {
    if (IsSystemGroupLabel(name)) continue;
    bool fitted = false;
    std::string stored = StoredName(name, &fitted);
    int slot = stored.empty() ? -1 : FindOrMake(stored);
    if (slot < 0) {
      changes.groupsLeftOut.emplace_back(name);
      continue;
    }
    if (fitted && fittedNamesTold_.insert(stored).second) changes.groupsFitted.push_back(stored);
    if (stored.size() < name.size()) changes.cut = true;
    AddMember(static_cast<uint32_t>(slot), personSlot);
  }
}

std::string ImportGroups::StoredName(std::string_view name, bool* fitted) const {
  std::string stored(CutAnsi(name, kGroupNameLimit, page_));
  bool changed = FitNameToRules(stored, page_);
  if (fitted) *fitted = changed;
  return stored;
}

void ImportGroups::Undo() {
  if (!store_.groups) return;
  GroupTable& table = *store_.groups;
  for (auto [slot, count] : membersBefore_) {
    GroupRecord& group = table[slot];
    if (group.members) group.members->resize(count);
    group.memberCount = static_cast<uint32_t>(count);
  }
  for (uint32_t slot = groupsBefore_; slot < table.used; ++slot) table[slot] = GroupRecord();
  table.used = std::min(table.used, groupsBefore_);
  made_.clear();
  changed_ = false;
}

int ImportGroups::FindOrMake(std::string_view name) {
  std::string key = Folded(name, store_.codePage);
  auto found = slotOfName_.find(key);
  if (found != slotOfName_.end()) return static_cast<int>(found->second);
  if (!ReserveRecordSlot(store_.groups)) return -1;
  GroupTable& table = *store_.groups;
  uint32_t slot = table.used++;
  GroupRecord& group = table[slot];
  group = GroupRecord();
  CopyToField(group.name, kTextFieldSize, name);
  slotOfName_.emplace(std::move(key), slot);
  made_.push_back(slot);
  changed_ = true;
  return static_cast<int>(slot);
}

void ImportGroups::AddMember(uint32_t groupSlot, uint32_t personSlot) {
  GroupRecord& group = (*store_.groups)[groupSlot];
  auto [members, first] = membersOf_.try_emplace(groupSlot);
  if (first && groupSlot < groupsBefore_) membersBefore_.emplace(groupSlot, group.members ? group.members->size() : 0);
  if (first && group.members) members->second.insert(group.members->begin(), group.members->end());
  if (!members->second.insert(personSlot).second) return;  // never a member twice
  if (!group.members) group.members.emplace();
  group.members->push_back(personSlot);
  group.memberCount = static_cast<uint32_t>(group.members->size());
  changed_ = true;
}

bool ImportGroups::AcceptsName(std::string_view name) const {
  return IsSystemGroupLabel(name) || !StoredName(name).empty();
}

bool ImportGroups::JoinListed(std::string_view name, std::string_view memo,
                              const std::vector<uint32_t>& personSlots, std::string* fittedName) {
  if (IsSystemGroupLabel(name)) return true;
  if (!AcceptsName(name)) return false;
  size_t madeBefore = made_.size();
  bool fitted = false;
  std::string stored = StoredName(name, &fitted);
  int slot = FindOrMake(stored);
  if (slot < 0) return false;
  if (fitted && fittedName && fittedNamesTold_.insert(stored).second) *fittedName = stored;
  if (made_.size() > madeBefore)
    CopyToField((*store_.groups)[static_cast<uint32_t>(slot)].memo, kTextFieldSize, CutAnsi(memo, kGroupNameLimit, store_.codePage));
  for (uint32_t person : personSlots) AddMember(static_cast<uint32_t>(slot), person);
  return true;
}
