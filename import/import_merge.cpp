#include "import/import_merge.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <unordered_map>

#include "import/charset.h"
#include "import/import_groups.h"
#include "store/indexes.h"
#include "store/name_rules.h"

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

// A text cut in the middle loses the blanks it would end with, as every imported text is
// trimmed, so that importing the book's own export stores it the same again.
std::string_view CutNoted(std::string_view text, size_t limit, const CodePage& page, EntryChanges& changes) {
  std::string_view cut = CutAnsi(text, limit, page);
  if (cut.size() == text.size()) return cut;
  changes.cut = true;
  while (!cut.empty() && cut.back() == ' ') cut.remove_suffix(1);
  return cut;
}

// The entry's name parts as stored: each forbidden character replaced by its look-alike.
struct FittedNames {
  std::string first, middle, last;
  bool changed = false;

  FittedNames(const ImportEntry& entry, const CodePage& page)
      : first(entry.firstName), middle(entry.middleName), last(entry.lastName) {
    for (std::string* part : {&first, &middle, &last}) changed |= FitNameToRules(*part, page);
  }

  ImportEntry Applied(const ImportEntry& entry) const {
    ImportEntry fitted = entry;
    fitted.firstName = first;
    fitted.middleName = middle;
    fitted.lastName = last;
    return fitted;
  }
};

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
  Merge(AddressStore& store, const ImportBatch& batch, bool roomMade, const CodePage& page)
      : store_(store),
        batch_(batch),
        roomMade_(roomMade),
        page_(page),
        personsBefore_(store.persons ? store.persons->used : 0),
        lookup_(store),
        groups_(store, page) {}

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

  // Takes back every person and group added and every member joined.
  void Undo() {
    groups_.Undo();
    if (!store_.persons) return;
    PersonTable& table = *store_.persons;
    for (uint32_t slot = personsBefore_; slot < table.used; ++slot) table[slot] = PersonRecord();
    table.used = std::min(table.used, personsBefore_);
  }

  ImportOutcome Finish() {
    outcome_.report.unclosedQuoteLines = batch_.unclosedQuoteLines();
    outcome_.groups = groups_.made();
    outcome_.report.newGroups = static_cast<uint32_t>(outcome_.groups.size());
    outcome_.report.imported = static_cast<uint32_t>(outcome_.persons.size());
    return std::move(outcome_);
  }

 private:
  // A description as the book would store it: fitted to the rules, cut to the dialogs' limit.
  std::string StoredDescription(std::string_view text) const {
    std::string stored(text);
    FitNameToRules(stored, page_);
    EntryChanges ignored;
    stored.resize(CutNoted(stored, kTextLimit, page_, ignored).size());
    return stored;
  }

  // Entries a reader could not take stand in the report where they stood in the file, named as
  // they would have been stored.
  void TellLeftOutBefore(uint32_t position) {
    const std::vector<LeftOutEntry>& leftOut = batch_.withoutAddress();
    for (; nextLeftOut_ < leftOut.size() && leftOut[nextLeftOut_].position < position; ++nextLeftOut_)
      outcome_.report.CountNotTaken(StoredDescription(leftOut[nextLeftOut_].description), ReportReason::kNoAddress);
  }

  bool Accepts(const ListedGroup& group) const { return !group.unshowable && groups_.AcceptsName(group.name); }

  // A listed group the rules refuse is told with each of its members, as a group an entry names;
  // one without members in the batch is told by itself.
  void NoteRefusedListedGroups() {
    if (!batch_.listedGroups().empty()) slotOfEntry_.assign(batch_.count(), -1);
    for (const ListedGroup& group : batch_.listedGroups()) {
      if (Accepts(group)) continue;
      bool told = false;
      for (uint32_t member : group.members) {
        if (member >= batch_.count()) continue;
        refusedListed_[member].emplace_back(group.label);
        told = true;
      }
      if (!told) outcome_.report.NoteListLeftOut(StoredDescription(group.label));
    }
  }

  // Members join in the order the list gives them, after every entry is in the book.
  void JoinListedGroups() {
    for (const ListedGroup& group : batch_.listedGroups()) {
      std::vector<uint32_t> slots;
      for (uint32_t member : group.members)
        if (member < slotOfEntry_.size() && slotOfEntry_[member] >= 0)
          slots.push_back(static_cast<uint32_t>(slotOfEntry_[member]));
      std::string fittedName;
      if (Accepts(group)) {
        if (!groups_.JoinListed(group.name, group.memo, slots, &fittedName))
          outcome_.report.NoteListLeftOut(StoredDescription(group.name));
        else if (!fittedName.empty())
          outcome_.report.NoteFittedGroup(fittedName);
      }
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
    for (std::string_view group : entry.unshowableGroups) changes.groupsLeftOut.emplace_back(group);
    char description[kTextFieldSize] = {};  // copied whole into the record: no stack bytes after the text
    std::string fittedDescription(entry.description);
    bool descriptionFitted = FitNameToRules(fittedDescription, page_);
    StoreSpan(description, kTextFieldSize, CutNoted(fittedDescription, kTextLimit, page_, changes));
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
    FittedNames names(entry, page_);
    changes.fitted = descriptionFitted || names.changed;
    FillPerson((*table)[slot], names.Applied(entry), description, page_, changes);
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
  const CodePage& page_;
  uint32_t personsBefore_;
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

ImportOutcome AppendImportedPersons(AddressStore& store, const ImportBatch& batch, const CodePage& page) {
  ImportOutcome outcome;
  ++store.changeCount;
  bool groupsChanged = false;
  // Near the book's limit the table grows by the room left; the entries beyond it are reported.
  uint32_t room = kMaxSlots - (store.persons ? store.persons->used : 0);
  bool roomMade = GrowPersonTableForBatch(store.persons, std::min(batch.count(), room));
  std::optional<Merge> merge;
  try {
    merge.emplace(store, batch, roomMade, page);
    merge->Run();
    groupsChanged = merge->groupsChanged();
    outcome = merge->Finish();
  } catch (const std::bad_alloc&) {
    // A half import would leave persons without their groups: all of it is taken back.
    if (merge) merge->Undo();
    outcome = ImportOutcome();
    outcome.outOfMemory = true;
  }
  for (uint32_t slot : outcome.persons) RefoldPerson(store, slot);
  for (uint32_t slot : outcome.groups) RefoldGroup(store, slot);
  FreeIndexes(store);
  BuildIndexes(store);
  if (outcome.outOfMemory) return outcome;
  SavePersonFile(store);
  if (groupsChanged) SaveGroupFile(store);
  return outcome;
}
