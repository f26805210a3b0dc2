// A reader's batch merged into a small book: records stay within their fields and within what
// the dialogs let one type, no live description is held twice, slots are appended in order,
// groups keep the group dialog's rules with every member once, and the report adds up.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "import/import_merge.h"
#include "import/import_readers.h"
#include "store/indexes.h"
#include "store/name_rules.h"
#include "tests/fuzz/import_fuzz_checks.h"

namespace {

void AddPerson(AddressStore& store, const char* description, int32_t deleted) {
  if (!ReserveRecordSlot(store.persons)) std::abort();
  PersonRecord& p = (*store.persons)[store.persons->used++];
  p.deleted = deleted;
  CopyToField(p.description, kTextFieldSize, description);
  CopyToField(p.names, kTextFieldSize, ";;");
}

std::string ScratchPath() { return "/tmp/fuzz_import_merge_" + std::to_string(getpid()) + ".inf"; }
void RemoveScratchFile() {
  std::remove(ScratchPath().c_str());
  std::remove((ScratchPath() + ".groups").c_str());
}

bool Terminated(const char* field, size_t size) { return std::memchr(field, 0, size) != nullptr; }

void CheckStore(const AddressStore& store, uint32_t usedBefore, const std::vector<uint32_t>& added) {
  const PersonTable& t = *store.persons;
  if (t.used > t.capacity || t.capacity > t.slots.size()) std::abort();
  if (t.used != usedBefore + added.size()) std::abort();
  for (size_t i = 0; i < added.size(); ++i) {
    if (added[i] != usedBefore + i) std::abort();
    const PersonRecord& p = t[added[i]];
    if (p.deleted != 0 || !Terminated(p.description, kTextFieldSize) ||
        !Terminated(p.email, kEmailFieldSize) || !Terminated(p.names, kTextFieldSize) ||
        !Terminated(p.memo, kTextFieldSize))
      std::abort();
    if (std::strlen(p.description) > 258 || std::strlen(p.memo) > 258) std::abort();
    // The dialogs accept what the import stored: a description and three name parts by the rules.
    if (!IsValidNameText(p.description, store.codePage)) std::abort();
    std::string names = p.names;
    size_t first = names.find(';'), second = first == std::string::npos ? first : names.find(';', first + 1);
    if (second == std::string::npos) std::abort();
    for (std::string part : {names.substr(0, first), names.substr(first + 1, second - first - 1), names.substr(second + 1)})
      if (!IsValidNameText(part.c_str(), store.codePage)) std::abort();
    // The first live holder of each added description is the added record itself.
    if (FindPersonByDescription(store, p.description) != static_cast<int>(added[i])) std::abort();
  }
}

void CheckGroups(const AddressStore& store, uint32_t groupsBefore, const ImportOutcome& outcome) {
  if (!store.groups) {
    if (!outcome.groups.empty()) std::abort();
    return;
  }
  const GroupTable& t = *store.groups;
  if (t.used != groupsBefore + outcome.groups.size()) std::abort();
  for (uint32_t slot = 0; slot < t.used; ++slot) {
    const GroupRecord& g = t[slot];
    size_t count = g.members ? g.members->size() : 0;
    if (g.memberCount != count) std::abort();
    std::vector<bool> seen(store.persons ? store.persons->used : 0);
    for (uint32_t m = 0; g.members && m < count; ++m) {
      uint32_t person = (*g.members)[m];
      if (person >= seen.size() || seen[person]) std::abort();
      seen[person] = true;
    }
    if (slot < groupsBefore) continue;
    if (g.deleted || g.name[0] == '\0' || !IsValidNameText(g.name, store.codePage) || std::strlen(g.name) > 258 || count == 0)
      std::abort();
    if (FindGroupByName(store, g.name) != static_cast<int>(slot)) std::abort();
  }
}

void CheckReport(const ImportReport& r, size_t added) {
  if (r.imported != added || r.notTaken != r.alreadyInBook + r.withoutAddress + r.overLimit) std::abort();
  if (r.cut > r.changed || r.unshowable > r.changed || r.groupsLeftOut > r.changed) std::abort();
  if (r.lines.size() > ImportReport::kMaxLines) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::optional<ImportBatch> batch;
  switch (data[0] % 3) {
    case 0: batch = ReadVCard(text); break;
    case 1: batch = ReadNetscapeBook(text); break;
    default: batch = ReadEudoraNicknames(text); break;
  }
  if (!batch) return 0;
  if (data[0] % 3 == 0) CheckDecodedBatch(*batch);
  else CheckBatch(*batch, text);

  static const std::string path = ScratchPath();
  static const bool removedAtExit = std::atexit(RemoveScratchFile) == 0;
  (void)removedAtExit;
  AddressStore store;
  store.personPath = path;
  store.groupPath = path + ".groups";
  if (data[0] & 8) store.codePage = ShiftJisCodePage();  // cuts and rules by double-byte characters
  if (data[0] & 4) {  // sometimes import into a book with no person table
    AddPerson(store, "Ann", 0);
    AddPerson(store, "bob", 1);
    AddPerson(store, "BOB", 0);
    ReserveRecordSlot(store.groups);
    GroupRecord& group = (*store.groups)[store.groups->used++];
    CopyToField(group.name, kTextFieldSize, "Friends");
    group.members = MemberList{2};
    group.memberCount = 1;
  }
  uint32_t usedBefore = store.persons ? store.persons->used : 0;
  uint32_t groupsBefore = store.groups ? store.groups->used : 0;
  ImportOutcome outcome = AppendImportedPersons(store, *batch, store.codePage);
  CheckStore(store, usedBefore, outcome.persons);
  CheckGroups(store, groupsBefore, outcome);
  CheckReport(outcome.report, outcome.persons.size());
  return 0;
}
