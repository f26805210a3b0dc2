#include "import/import_merge.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <unordered_map>

#include "import/charset.h"
#include "import/import_groups.h"
#include "store/indexes.h"

namespace {

constexpr size_t kMaxJoinedNames = kTextFieldSize - 2;  // a joined text of 259 bytes is refused
// The person dialog lets one type 258 characters, so an imported person it shows and stores
// again on OK stays as it was.
constexpr size_t kTextLimit = kTextFieldSize - 2;
constexpr size_t kEmailLimit = kEmailFieldSize - 1;

// An absent span has no data at all, which CopyToField must not be handed.
void StoreSpan(char* field, size_t fieldSize, std::string_view span) {
  CopyToField(field, fieldSize, span.empty() ? std::string_view("") : span);
}

std::string_view CutNoted(std::string_view text, size_t limit, const CodePage& page, EntryChanges& changes) {
  std::string_view cut = CutAnsi(text, limit, page);
  if (cut.size() < text.size()) changes.cut = true;
  return cut;
}

void FillPerson(PersonRecord& person, const ImportEntry& entry, const char* description,
                const CodePage& page, EntryChanges& changes) {
  person.deleted = 0;
  std::memcpy(person.description, description, kTextFieldSize);
  StoreSpan(person.email, kEmailFieldSize, CutNoted(entry.email, kEmailLimit, page, changes));
  JoinImportedNames(entry, person.names);
  if (std::strcmp(person.names, ";;") == 0 &&
      !(entry.firstName.empty() && entry.middleName.empty() && entry.lastName.empty()))
    changes.cut = true;
  StoreSpan(person.memo, kTextFieldSize, CutNoted(entry.memo, kTextLimit, page, changes));
}

class Merge {
 public:
  Merge(AddressStore& store, const ImportBatch& batch, bool roomMade)
      : store_(store), batch_(batch), roomMade_(roomMade), lookup_(store), groups_(store) {}

  void Run() {
    outcome_.persons.reserve(batch_.count());
    NoteRefusedListedGroups();
    for (uint32_t i = 0; i < batch_.count(); ++i) {
      TellLeftOutBefore(i + 1);
      TakeEntry(batch_[i], i);
    }
    TellLeftOutBefore(batch_.count() + 1);
    JoinListedGroups();
  }

  bool groupsChanged() const { return groups_.changed(); }

  ImportOutcome Finish() {
    outcome_.groups = groups_.made();
    outcome_.report.newGroups = static_cast<uint32_t>(outcome_.groups.size());
    outcome_.report.imported = static_cast<uint32_t>(outcome_.persons.size());
    return std::move(outcome_);
  }

 private:
  // Entries a reader could not take stand in the report where they stood in the file.
  void TellLeftOutBefore(uint32_t position) {
    const std::vector<LeftOutEntry>& leftOut = batch_.withoutAddress();
    for (; nextLeftOut_ < leftOut.size() && leftOut[nextLeftOut_].position < position; ++nextLeftOut_)
      outcome_.report.CountNotTaken(leftOut[nextLeftOut_].description, ReportReason::kNoAddress);
  }

  // A listed group the rules refuse is told with each of its members, as a group an entry names.
  void NoteRefusedListedGroups() {
    if (!batch_.listedGroups().empty()) slotOfEntry_.assign(batch_.count(), -1);
    for (const ListedGroup& group : batch_.listedGroups()) {
      if (groups_.AcceptsName(group.name)) continue;
      for (uint32_t member : group.members)
        if (member < batch_.count()) refusedListed_[member].emplace_back(group.name);
    }
  }

  // Members join in the order the list gives them, after every entry is in the book.
  void JoinListedGroups() {
    for (const ListedGroup& group : batch_.listedGroups()) {
      std::vector<uint32_t> slots;
      for (uint32_t member : group.members)
        if (member < slotOfEntry_.size() && slotOfEntry_[member] >= 0)
          slots.push_back(static_cast<uint32_t>(slotOfEntry_[member]));
      groups_.JoinListed(group.name, group.memo, slots);
      for (std::string_view missing : group.missingMembers) outcome_.report.NoteMissingMember(missing);
    }
  }

  void NoteSlot(uint32_t entry, uint32_t slot) {
    if (entry < slotOfEntry_.size()) slotOfEntry_[entry] = slot;
  }

  void TakeEntry(const ImportEntry& entry, uint32_t index) {
    EntryChanges changes;
    auto refused = refusedListed_.find(index);
    if (refused != refusedListed_.end()) changes.groupsLeftOut = refused->second;
    char description[kTextFieldSize] = {};  // copied whole into the record: no stack bytes after the text
    StoreSpan(description, kTextFieldSize, CutNoted(entry.description, kTextLimit, store_.codePage, changes));
    int existing = lookup_.Find(description);
    if (existing >= 0) {
      // The description is the person's key: the one in the book joins the entry's groups.
      EntryChanges joined;
      joined.groupsLeftOut = changes.groupsLeftOut;
      NoteSlot(index, static_cast<uint32_t>(existing));
      groups_.Join(static_cast<uint32_t>(existing), entry.groups, joined);
      outcome_.report.CountNotTaken(description, ReportReason::kAlreadyInBook);
      joined.cut = false;  // only what the book stores of this entry counts as cut
      outcome_.report.CountTaken(description, joined);
      return;
    }
    PersonTable* table = store_.persons ? &*store_.persons : nullptr;
    if (!roomMade_ || !table || table->used >= table->capacity || table->used >= table->slots.size()) {
      outcome_.report.CountNotTaken(description, ReportReason::kOverLimit);
      return;
    }
    uint32_t slot = table->used;
    FillPerson((*table)[slot], entry, description, store_.codePage, changes);
    ++table->used;
    outcome_.persons.push_back(slot);
    NoteSlot(index, slot);
    lookup_.Add(slot);
    changes.unshowable = (entry.notes & kNoteUnshowable) != 0;
    groups_.Join(slot, entry.groups, changes);
    outcome_.report.CountTaken(description, changes);
  }

  AddressStore& store_;
  const ImportBatch& batch_;
  bool roomMade_;
  PersonLookup lookup_;
  ImportGroups groups_;
  ImportOutcome outcome_;
  size_t nextLeftOut_ = 0;
  std::unordered_map<uint32_t, std::vector<std::string>> refusedListed_;  // entry -> group names
  std::vector<int64_t> slotOfEntry_;  // kept only when the batch lists groups; -1: not in the book
};

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

ImportOutcome AppendImportedPersons(AddressStore& store, const ImportBatch& batch) {
  ImportOutcome outcome;
  ++store.changeCount;
  bool groupsChanged = false;
  // Near the book's limit the table grows by the room left; the entries beyond it are reported.
  uint32_t room = kMaxSlots - (store.persons ? store.persons->used : 0);
  bool roomMade = GrowPersonTableForBatch(store.persons, std::min(batch.count(), room));
  try {
    Merge merge(store, batch, roomMade);
    try {
      merge.Run();
    } catch (const std::bad_alloc&) {
      // Out of memory on the way: what was merged so far stays, the rest is left out.
    }
    groupsChanged = merge.groupsChanged();
    outcome = merge.Finish();
  } catch (const std::bad_alloc&) {
    // No memory even for the lookups: nothing is merged.
  }
  FreeIndexes(store);
  BuildIndexes(store);
  SavePersonFile(store);
  if (groupsChanged) SaveGroupFile(store);
  return outcome;
}
