#include "dialogs/duplicate_merge.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "dialogs/name_parts.h"
#include "store/folded_key.h"
#include "store/indexes.h"
#include "store/name_rules.h"

namespace {

const PersonRecord& PersonAt(const AddressStore& store, uint32_t slot) { return (*store.persons)[slot]; }

int FilledFields(const FieldValues& values) {
  return static_cast<int>(std::count_if(values.begin(), values.end(), [](const std::string& v) { return !v.empty(); }));
}

std::string JoinedMemos(const std::vector<std::string>& memos, const CodePage& page) {
  std::string joined;
  for (const std::string& memo : memos) joined += (joined.empty() ? "" : " / ") + memo;
  if (joined.size() <= kMergedTextLimit) return joined;
  size_t room = kMergedTextLimit - (sizeof kCutMark - 1);
  joined.resize(CutBetweenCharacters(page, joined, room));
  return joined + kCutMark;
}

bool InSet(const DuplicateSet& set, uint32_t slot) {
  return std::binary_search(set.persons.begin(), set.persons.end(), slot);
}

// The member list with the set's persons made one membership of `survivor`, at the place of the
// first of them; true when anything changed.
bool MergeMembers(MemberList& members, const DuplicateSet& set, uint32_t survivor) {
  MemberList out;
  out.reserve(members.size());
  bool placed = false, changed = false;
  for (uint32_t member : members) {
    if (!InSet(set, member)) {
      out.push_back(member);
      continue;
    }
    if (!placed) out.push_back(survivor);
    changed |= placed || member != survivor;
    placed = true;
  }
  if (changed) members = std::move(out);
  return changed;
}

void WriteValues(PersonRecord& person, const FieldValues& values, const CodePage& page) {
  CopyToField(person.description, sizeof person.description, values[kFieldDescription], page);
  CopyToField(person.email, sizeof person.email, values[kFieldEmail], page);
  CopyToField(person.memo, sizeof person.memo, values[kFieldMemo], page);
  JoinNames({values[kFieldFirst], values[kFieldMiddle], values[kFieldLast]}, person.names, sizeof person.names, page);
}

}  // namespace

FieldValues FieldsOf(const PersonRecord& person) {
  NameParts parts = SplitNames(person.names, sizeof person.names);
  return {std::string(FieldText(person.description, sizeof person.description)),
          std::string(FieldText(person.email, sizeof person.email)),
          parts.first, parts.middle, parts.last,
          std::string(FieldText(person.memo, sizeof person.memo))};
}

std::array<std::vector<std::string>, kFieldCount> OfferedValues(const AddressStore& store, const DuplicateSet& set,
                                                                const CodePage& page) {
  std::array<std::vector<std::string>, kFieldCount> offered;
  for (uint32_t slot : set.persons) {
    FieldValues values = FieldsOf(PersonAt(store, slot));
    for (int f = 0; f < kFieldCount; ++f) {
      auto& list = offered[f];
      if (!values[f].empty() && std::find(list.begin(), list.end(), values[f]) == list.end()) list.push_back(values[f]);
    }
  }
  if (offered[kFieldMemo].size() >= 2) offered[kFieldMemo].push_back(JoinedMemos(offered[kFieldMemo], page));
  return offered;
}

FieldValues DefaultValues(const AddressStore& store, const DuplicateSet& set) {
  FieldValues chosen;
  std::array<int, kFieldCount> best;
  best.fill(-1);
  for (uint32_t slot : set.persons) {
    FieldValues values = FieldsOf(PersonAt(store, slot));
    int filled = FilledFields(values);
    for (int f = 0; f < kFieldCount; ++f)
      if (!values[f].empty() && filled > best[f]) {
        best[f] = filled;
        chosen[f] = values[f];
      }
  }
  return chosen;
}

bool IsIdenticalSet(const AddressStore& store, const DuplicateSet& set, const CodePage& page) {
  if (set.persons.size() < 2) return false;
  FieldValues first = FieldsOf(PersonAt(store, set.persons[0]));
  std::string description = DescriptionKey(first[kFieldDescription], page);
  std::string email = EmailKey(first[kFieldEmail], page);
  FieldValues seen = first;
  for (uint32_t slot : set.persons) {
    FieldValues values = FieldsOf(PersonAt(store, slot));
    if (DescriptionKey(values[kFieldDescription], page) != description || EmailKey(values[kFieldEmail], page) != email)
      return false;
    for (int f = kFieldFirst; f < kFieldCount; ++f) {
      if (values[f].empty()) continue;
      if (seen[f].empty()) seen[f] = values[f];
      else if (seen[f] != values[f]) return false;
    }
  }
  return true;
}

std::string SetLine(const AddressStore& store, const DuplicateSet& set, const std::string& sameEmail,
                    const std::string& sameName) {
  std::string line;
  for (uint32_t slot : set.persons) {
    if (!line.empty()) line += " / ";
    line += FieldText(PersonAt(store, slot).description, kTextFieldSize);
  }
  std::string why;
  if (set.reasons & kSameEmail) why = sameEmail;
  if (set.reasons & kSameName) why += (why.empty() ? "" : ", ") + sameName;
  return why.empty() ? line : line + " (" + why + ")";
}

int CheckMergedValues(const AddressStore& store, const DuplicateSet& set, const FieldValues& values) {
  const std::string& description = values[kFieldDescription];
  if (description.empty()) return kMsgEmptyDescription;
  if (!IsValidNameText(description.c_str(), store.codePage)) return kMsgBadDescription;
  for (uint32_t slot = 0; slot < store.persons->used; ++slot) {
    const PersonRecord& other = PersonAt(store, slot);
    if (!other.deleted && !InSet(set, slot) && CompareNoCase(other.description, description.c_str(), store.codePage) == 0)
      return kMsgDescriptionTaken;
  }
  if (!IsValidNameText(values[kFieldFirst].c_str(), store.codePage)) return kMsgBadFirstName;
  if (!IsValidNameText(values[kFieldMiddle].c_str(), store.codePage)) return kMsgBadMiddleName;
  if (!IsValidNameText(values[kFieldLast].c_str(), store.codePage)) return kMsgBadLastName;
  return kMsgNone;
}

std::vector<ItemRef> RecipientsAfterMerge(const std::vector<ItemRef>& recipients, const std::vector<MergePlan>& plans) {
  std::unordered_map<uint32_t, uint32_t> survivorOf;
  for (const MergePlan& plan : plans)
    for (uint32_t slot : plan.set.persons) survivorOf[slot] = plan.set.persons.front();
  std::vector<ItemRef> out;
  std::unordered_set<ItemRef> listed;
  for (ItemRef item : recipients) {
    if (ItemKindOf(item) == kPersonItem) {
      auto it = survivorOf.find(ItemSlot(item));
      if (it != survivorOf.end()) item = MakeItemRef(it->second, kPersonItem);
    }
    if (listed.insert(item).second) out.push_back(item);
  }
  return out;
}

std::vector<std::string> AddressesNoLongerSent(const AddressStore& store, const std::vector<ItemRef>& recipients,
                                               const MergePlan& plan, const CodePage& page) {
  std::string kept = EmailKey(plan.values[kFieldEmail], page);
  std::vector<std::string> lost;
  for (ItemRef item : recipients) {
    if (ItemKindOf(item) != kPersonItem || !InSet(plan.set, ItemSlot(item))) continue;
    std::string address(FieldText(PersonAt(store, ItemSlot(item)).email, kEmailFieldSize));
    if (EmailKey(address, page).empty() || EmailKey(address, page) == kept) continue;
    if (std::find(lost.begin(), lost.end(), address) == lost.end()) lost.push_back(address);
  }
  return lost;
}

MergeUndo ApplyMerges(AddressStore& store, const std::vector<MergePlan>& plans, const std::vector<ItemRef>& entryList,
                      const std::vector<ItemRef>& recipients) {
  MergeUndo undo;
  undo.recipients = recipients;
  std::unordered_set<ItemRef> removedItems;
  for (const MergePlan& plan : plans) {
    uint32_t survivor = plan.set.persons.front();
    PersonRecord& kept = (*store.persons)[survivor];
    undo.survivors.push_back({survivor, kept});
    WriteValues(kept, plan.values, store.codePage);
    for (size_t i = 1; i < plan.set.persons.size(); ++i) {
      uint32_t slot = plan.set.persons[i];
      (*store.persons)[slot].deleted = 1;
      undo.removed.push_back(slot);
      removedItems.insert(MakeItemRef(slot, kPersonItem));
    }
  }
  if (store.groups)
    for (uint32_t g = 0; g < store.groups->used; ++g) {
      GroupRecord& group = (*store.groups)[g];
      if (!group.members) continue;
      MergeUndo::GroupBefore before{g, group.memberCount, group.members};
      bool changed = false;
      for (const MergePlan& plan : plans) changed |= MergeMembers(*group.members, plan.set, plan.set.persons.front());
      if (!changed) continue;
      group.memberCount = static_cast<uint32_t>(group.members->size());
      undo.groups.push_back(std::move(before));
    }
  for (size_t position = 0; position < entryList.size(); ++position)
    if (removedItems.count(entryList[position]))
      undo.entries.push_back({entryList[position], static_cast<int>(position)});
  undo.changeCount = ++store.changeCount;
  FreeIndexes(store);
  BuildIndexes(store);
  return undo;
}

bool CanUndoMerge(const AddressStore& store, const MergeUndo& undo) {
  return !undo.survivors.empty() && undo.changeCount == store.changeCount && store.persons;
}

bool RestoreMerge(AddressStore& store, const MergeUndo& undo) {
  if (!CanUndoMerge(store, undo)) return false;
  for (const auto& kept : undo.survivors) (*store.persons)[kept.slot] = kept.before;
  for (uint32_t slot : undo.removed) (*store.persons)[slot].deleted = 0;
  for (const auto& before : undo.groups) {
    GroupRecord& group = (*store.groups)[before.group];
    group.memberCount = before.memberCount;
    group.members = before.members;
  }
  ++store.changeCount;
  FreeIndexes(store);
  BuildIndexes(store);
  return true;
}
