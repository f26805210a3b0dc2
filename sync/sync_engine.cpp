#include "sync/sync_engine.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "dialogs/name_parts.h"
#include "store/indexes.h"
#include "store/search_texts.h"
#include "sync/sync_round.h"

namespace {

SnapshotPerson PersonOf(const PersonRecord& record, uint32_t slot) {
  SnapshotPerson person;
  person.slot = slot;
  person.description = record.description;
  person.email = record.email;
  NameParts parts = SplitNames(record.names, sizeof record.names);
  person.first = std::move(parts.first);
  person.middle = std::move(parts.middle);
  person.last = std::move(parts.last);
  person.memo = record.memo;
  return person;
}

bool SameAsSnapshot(const PersonRecord& record, const SnapshotPerson& shot) {
  SnapshotPerson now = PersonOf(record, shot.slot);
  return now.description == shot.description && now.email == shot.email && now.first == shot.first &&
         now.middle == shot.middle && now.last == shot.last && now.memo == shot.memo;
}

std::vector<std::string> MembersOf(const AddressStore& store, const GroupRecord& group) {
  std::vector<std::string> members;
  if (!group.members || !store.persons) return members;
  for (uint32_t i = 0; i < group.memberCount && i < group.members->size(); ++i) {
    uint32_t slot = (*group.members)[i];
    if (slot < store.persons->used && !(*store.persons)[slot].deleted) members.push_back((*store.persons)[slot].description);
  }
  return members;
}

bool SameAsSnapshot(const AddressStore& store, const GroupRecord& record, const SnapshotGroup& shot) {
  return shot.name == record.name && shot.memo == record.memo && MembersOf(store, record) == shot.members;
}

void WritePerson(PersonRecord& record, const CardPersonFields& fields, const CodePage& page) {
  record.deleted = 0;
  CopyToField(record.description, sizeof record.description, fields.description, page);
  CopyToField(record.email, sizeof record.email, fields.email, page);
  if (!JoinNames(NameParts{fields.first, fields.middle, fields.last}, record.names, sizeof record.names, page))
    CopyToField(record.names, sizeof record.names, ";;");
  CopyToField(record.memo, sizeof record.memo, fields.memo, page);
}

void WriteMembers(const PersonLookup& lookup, GroupRecord& group, const std::vector<std::string>& members) {
  MemberList list;
  for (const std::string& member : members) {
    int slot = lookup.Find(member.c_str());
    if (slot >= 0 && std::find(list.begin(), list.end(), static_cast<uint32_t>(slot)) == list.end())
      list.push_back(static_cast<uint32_t>(slot));
  }
  group.memberCount = static_cast<uint32_t>(list.size());
  if (list.empty()) group.members.reset();
  else group.members = std::move(list);
}

// The change was not made: the entry's state goes back to what both sides agreed on before, so
// the next sync sees it changed here and, through its card, changed on the server.
void KeepOldBase(SyncState& next, const SyncState& before, const BookChange& change, bool isGroup,
                 const CodePage& page) {
  auto same = [&](const SyncedEntry& e) { return e.isGroup == isGroup && CompareNoCaseKey(e.key, change.key, page); };
  auto now = std::find_if(next.entries.begin(), next.entries.end(), same);
  auto old = std::find_if(before.entries.begin(), before.entries.end(), same);
  if (now == next.entries.end()) return;
  if (old == before.entries.end()) {
    next.entries.erase(now);  // linked this round: the next one links it again
    return;
  }
  std::string url = now->url, etag = now->etag, uid = now->uid;
  CardText card = now->card;
  *now = *old;
  now->url = url;
  now->etag = etag;
  now->card = card;
  now->uid = uid;
}

class Applier {
 public:
  Applier(AddressStore& store, const BookSnapshot& snapshot, SyncResult& result, const SyncState& before)
      : store_(store), result_(result), before_(before) {
    for (const SnapshotPerson& person : snapshot.persons) persons_[person.slot] = &person;
    for (const SnapshotGroup& group : snapshot.groups) groups_[group.slot] = &group;
  }

  void Run() {
    // The table grows once for all persons the server adds, as an import grows it.
    uint32_t adds = 0;
    for (const BookChange& change : result_.changes) adds += change.kind == BookChange::Kind::kAddPerson;
    uint32_t room = kMaxSlots - (store_.persons ? store_.persons->used : 0);
    if (adds > 0) GrowPersonTableForBatch(store_.persons, std::min(adds, room));
    addedLookup_.emplace(store_);
    for (const BookChange& change : result_.changes)
      if (!IsGroupChange(change)) ApplyPerson(change);
    // Members are named by description: looked up once the persons are in place.
    lookup_.emplace(store_);
    for (const BookChange& change : result_.changes)
      if (IsGroupChange(change)) ApplyGroup(change);
  }

  AppliedSync& applied() { return applied_; }

 private:
  static bool IsGroupChange(const BookChange& change) {
    return change.kind == BookChange::Kind::kAddGroup || change.kind == BookChange::Kind::kUpdateGroup ||
           change.kind == BookChange::Kind::kRemoveGroup;
  }

  void LeaveForNextSync(const BookChange& change, bool isGroup) {
    ++applied_.leftForNextSync;
    KeepOldBase(result_.newState, before_, change, isGroup, store_.codePage);
  }

  PersonRecord* UnchangedPerson(const BookChange& change) {
    auto shot = persons_.find(change.slot);
    if (shot == persons_.end() || !store_.persons || change.slot >= store_.persons->used) return nullptr;
    PersonRecord& record = (*store_.persons)[change.slot];
    if (record.deleted || !SameAsSnapshot(record, *shot->second)) return nullptr;
    return &record;
  }

  void ApplyPerson(const BookChange& change) {
    if (change.kind == BookChange::Kind::kAddPerson) {
      if (addedLookup_->Find(change.person.description.c_str()) >= 0) {
        BookChange named = change;
        named.key = change.person.description;
        LeaveForNextSync(named, false);
        return;
      }
      if (!ReserveRecordSlot(store_.persons)) {
        // The book is full: the card stays on the server and is told.
        result_.report.Add(change.person.description, SyncReason::kCannotTake);
        ++result_.report.leftOut;
        BookChange named = change;
        named.key = change.person.description;
        LeaveForNextSync(named, false);
        return;
      }
      uint32_t slot = store_.persons->used;
      WritePerson((*store_.persons)[slot], change.person, store_.codePage);
      ++store_.persons->used;
      addedLookup_->Add(slot);
      applied_.addedPersons.push_back(slot);
      personsChanged_ = true;
      return;
    }
    PersonRecord* record = UnchangedPerson(change);
    if (!record) {
      LeaveForNextSync(change, false);
      return;
    }
    if (change.kind == BookChange::Kind::kRemovePerson) {
      record->deleted = 1;
      applied_.removedPersons.push_back(change.slot);
      groupsChanged_ = true;  // its memberships leave the group file
    } else {
      if (change.person.description != record->description) groupsChanged_ = true;  // members are named
      WritePerson(*record, change.person, store_.codePage);
      applied_.changedPersons.push_back(change.slot);
    }
    personsChanged_ = true;
  }

  GroupRecord* UnchangedGroup(const BookChange& change) {
    auto shot = groups_.find(change.slot);
    if (shot == groups_.end() || !store_.groups || change.slot >= store_.groups->used) return nullptr;
    GroupRecord& record = (*store_.groups)[change.slot];
    if (record.deleted || !SameAsSnapshot(store_, record, *shot->second)) return nullptr;
    return &record;
  }

  void ApplyGroup(const BookChange& change) {
    if (change.kind == BookChange::Kind::kAddGroup) {
      if (FindGroupByName(store_, change.groupName.c_str()) >= 0 || !ReserveRecordSlot(store_.groups)) {
        BookChange named = change;
        named.key = change.groupName;
        LeaveForNextSync(named, true);
        return;
      }
      uint32_t slot = store_.groups->used;
      GroupRecord& group = (*store_.groups)[slot];
      group = GroupRecord{};
      CopyToField(group.name, sizeof group.name, change.groupName);
      CopyToField(group.memo, sizeof group.memo, change.groupMemo);
      WriteMembers(*lookup_, group, change.members);
      ++store_.groups->used;
      applied_.addedGroups.push_back(slot);
      groupsChanged_ = true;
      return;
    }
    GroupRecord* record = UnchangedGroup(change);
    if (!record) {
      LeaveForNextSync(change, true);
      return;
    }
    if (change.kind == BookChange::Kind::kRemoveGroup) {
      record->deleted = 1;
      applied_.removedGroups.push_back(change.slot);
    } else {
      CopyToField(record->name, sizeof record->name, change.groupName);
      CopyToField(record->memo, sizeof record->memo, change.groupMemo);
      WriteMembers(*lookup_, *record, change.members);
      applied_.changedGroups.push_back(change.slot);
    }
    groupsChanged_ = true;
  }

 public:
  bool personsChanged_ = false;
  bool groupsChanged_ = false;

 private:
  AddressStore& store_;
  SyncResult& result_;
  const SyncState& before_;
  std::unordered_map<uint32_t, const SnapshotPerson*> persons_;
  std::unordered_map<uint32_t, const SnapshotGroup*> groups_;
  AppliedSync applied_;
  std::optional<PersonLookup> lookup_;
  std::optional<PersonLookup> addedLookup_;  // before the renames of this apply: adds only
};

// Restores noted on the main thread while the round ran still wait for the next one.
template <typename Note>
void KeepNotedMeanwhile(std::vector<Note>& next, const std::vector<Note>& now, const std::vector<Note>& seen) {
  for (const Note& key : now)
    if (std::find(seen.begin(), seen.end(), key) == seen.end() &&
        std::find(next.begin(), next.end(), key) == next.end())
      next.push_back(key);
}

}  // namespace

BookSnapshot TakeBookSnapshot(const AddressStore& store, uint64_t runId) {
  BookSnapshot snapshot;
  snapshot.runId = runId;
  snapshot.changeCount = store.changeCount;
  if (store.persons)
    for (uint32_t slot = 0; slot < store.persons->used; ++slot)
      if (!(*store.persons)[slot].deleted) snapshot.persons.push_back(PersonOf((*store.persons)[slot], slot));
  if (store.groups)
    for (uint32_t slot = 0; slot < store.groups->used; ++slot) {
      const GroupRecord& group = (*store.groups)[slot];
      if (group.deleted) continue;
      snapshot.groups.push_back(SnapshotGroup{slot, group.name, group.memo, MembersOf(store, group)});
    }
  return snapshot;
}

AppliedSync ApplySyncResult(AddressStore& store, const BookSnapshot& snapshot, SyncResult& result, SyncState& state,
                            DataFileSystem& files) {
  Applier applier(store, snapshot, result, state);
  applier.Run();
  AppliedSync applied = std::move(applier.applied());
  // The counts tell what the book took, not what the round offered.
  result.counts.newHere = result.report.newHere = static_cast<uint32_t>(applied.addedPersons.size());
  result.counts.changedHere = result.report.changedHere = static_cast<uint32_t>(applied.changedPersons.size());
  result.counts.removedHere = result.report.removedHere = static_cast<uint32_t>(applied.removedPersons.size());
  if (applier.personsChanged_ || applier.groupsChanged_) {
    FreeIndexes(store);
    BuildIndexes(store);
  }
  for (const auto* slots : {&applied.addedPersons, &applied.changedPersons})
    for (uint32_t slot : *slots) RefoldPerson(store, slot);
  for (const auto* slots : {&applied.addedGroups, &applied.changedGroups})
    for (uint32_t slot : *slots) RefoldGroup(store, slot);
  bool saved = true;
  // Group members are named by description, so a person change also writes the group file.
  if (applier.personsChanged_) {
    saved = SavePersonFile(store, files) && saved;
    applied.personFileWritten = true;
  }
  if (applier.personsChanged_ || applier.groupsChanged_) {
    saved = SaveGroupFile(store, files) && saved;
    applied.groupFileWritten = true;
  }
  applied.saveFailed = !saved;
  SyncState next = std::move(result.newState);
  KeepNotedMeanwhile(next.restoredPersons, state.restoredPersons, result.restoredPersonsSeen);
  KeepNotedMeanwhile(next.restoredGroups, state.restoredGroups, result.restoredGroupsSeen);
  KeepNotedMeanwhile(next.renamedPersons, state.renamedPersons, result.renamedPersonsSeen);
  // A save that failed keeps the change pending in the book; the state moves all the same, as
  // the book in memory holds what was applied and its next save writes it.
  state = std::move(next);
  return applied;
}

bool AppliedTouchesUndo(const AppliedSync& applied, const DeleteUndo& undo) {
  for (const DeleteUndo::Membership& membership : undo.memberships) {
    auto touched = [&](const std::vector<uint32_t>& slots) {
      return std::find(slots.begin(), slots.end(), membership.group) != slots.end();
    };
    if (touched(applied.changedGroups) || touched(applied.removedGroups)) return true;
  }
  return false;
}

bool AppliedTouchesMergeUndo(const AddressStore& store, const AppliedSync& applied, const MergeUndo& undo) {
  auto holds = [](const std::vector<uint32_t>& slots, uint32_t slot) {
    return std::find(slots.begin(), slots.end(), slot) != slots.end();
  };
  for (const MergeUndo::Kept& kept : undo.survivors)
    if (holds(applied.changedPersons, kept.slot) || holds(applied.removedPersons, kept.slot)) return true;
  for (const MergeUndo::GroupBefore& group : undo.groups)
    if (holds(applied.changedGroups, group.group) || holds(applied.removedGroups, group.group)) return true;
  if (!store.persons) return false;
  for (uint32_t added : applied.addedPersons)
    for (uint32_t slot : undo.removed)
      if (added < store.persons->used && slot < store.persons->used &&
          CompareNoCase((*store.persons)[added].description, (*store.persons)[slot].description, store.codePage) == 0)
        return true;
  return false;
}

void NoteRestoredEntries(SyncState& state, const std::vector<std::string>& persons,
                         const std::vector<std::string>& groups) {
  for (const std::string& key : persons) state.restoredPersons.push_back(key);
  for (const std::string& key : groups) state.restoredGroups.push_back(key);
}

void NoteUndoneDelete(SyncState& state, const AddressStore& store, const DeleteUndo& undo) {
  std::vector<std::string> persons, groups;
  for (const DeleteUndo::Placed& placed : undo.entries) {
    uint32_t slot = ItemSlot(placed.entry);
    if (ItemKindOf(placed.entry) == kPersonItem && store.persons && slot < store.persons->used)
      persons.push_back((*store.persons)[slot].description);
    else if (ItemKindOf(placed.entry) == kGroupItem && store.groups && slot < store.groups->used)
      groups.push_back((*store.groups)[slot].name);
  }
  NoteRestoredEntries(state, persons, groups);
}

namespace {

// The card a person described `key` (at `slot` in this run) is linked to in the state.
std::string LinkedUrl(const SyncState& state, const std::string& key, uint32_t slot, uint64_t runId,
                      const CodePage& page) {
  for (const SyncedEntry& entry : state.entries)
    if (!entry.isGroup && !entry.url.empty() && runId != 0 && entry.runId == runId && entry.slot == slot) return entry.url;
  for (const SyncedEntry& entry : state.entries)
    if (!entry.isGroup && !entry.url.empty() && CompareNoCaseKey(entry.key, key, page)) return entry.url;
  return {};
}

void NoteRenames(SyncState& state, const std::vector<PersonRename>& renames, uint64_t runId, const CodePage& page) {
  for (PersonRename rename : renames) {
    rename.url = LinkedUrl(state, rename.from, rename.slot, runId, page);
    if (!rename.url.empty()) state.renamedPersons.push_back(std::move(rename));  // none: nothing to follow
  }
}

}  // namespace

void NoteMergedEntries(SyncState& state, const std::vector<PersonRename>& survivors, uint64_t runId,
                       const CodePage& page) {
  NoteRenames(state, survivors, runId, page);
}

void NoteUndoneMerge(SyncState& state, const std::vector<PersonRename>& survivors,
                     const std::vector<std::string>& restored, uint64_t runId, const CodePage& page,
                     bool roundRunning) {
  // The merge's notes no round has taken yet: the book is as the state knows it again.
  std::vector<PersonRename>& notes = state.renamedPersons;
  auto pending = notes.end();
  if (!roundRunning)
    for (auto at = notes.begin(); at != notes.end(); ++at)
      if (std::equal(survivors.begin(), survivors.end(), at, notes.end(), [](const PersonRename& a, const PersonRename& b) {
            return a.from == b.from && a.to == b.to;
          })) pending = at;
  if (pending != notes.end() || (survivors.empty() && !roundRunning)) {
    notes.erase(pending, notes.end());
    return;
  }
  std::vector<PersonRename> back;
  for (const PersonRename& rename : survivors) back.push_back(PersonRename{rename.to, rename.from, {}, rename.slot});
  NoteRenames(state, back, runId, page);
  NoteRestoredEntries(state, restored, {});
}

std::vector<PersonRename> MergeRenames(const AddressStore& store, const MergeUndo& undo) {
  std::vector<PersonRename> renames;
  for (const MergeUndo::Kept& kept : undo.survivors)
    if (store.persons && kept.slot < store.persons->used)
      renames.push_back(PersonRename{kept.before.description, (*store.persons)[kept.slot].description, {}, kept.slot});
  return renames;
}

std::vector<std::string> MergeRestoredPersons(const AddressStore& store, const MergeUndo& undo) {
  std::vector<std::string> descriptions;
  for (uint32_t slot : undo.removed)
    if (store.persons && slot < store.persons->used && !(*store.persons)[slot].deleted)
      descriptions.push_back((*store.persons)[slot].description);
  return descriptions;
}
