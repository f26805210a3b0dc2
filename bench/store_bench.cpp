// The store on a full book of 65,535 persons (and 1,000 groups of 10): load, save, index build,
// a bulk lookup of 10,000 descriptions and a person edit, each beside the plain method
// (insertion build, one linear scan per lookup, record-by-record writes in place).
#include <benchmark/benchmark.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "store/indexes.h"
#include "store/records.h"

namespace {

constexpr uint32_t kPersons = 65535;
constexpr uint32_t kGroups = 1000;
constexpr uint32_t kMembersPerGroup = 10;
constexpr uint32_t kLookups = 10000;

const char* const kFirst[] = {"Ann", "Bob", "Carla", "Dieter", "Eve", "Frank", "Grete", "Hiro", "Ines", "Jan"};
const char* const kLast[] = {"Meyer", "Smith", "Tanaka", "Okafor", "Novak", "Rossi", "Dubois", "Lee"};

std::string Description(uint32_t n) {
  return std::string(kFirst[n % 10]) + " " + kLast[(n / 10) % 8] + " " + std::to_string(n * 7919 % 100003);
}

std::string Folder() {
  static const std::string folder = "/tmp/kalbook_store_bench_" + std::to_string(getpid());
  static const bool made = std::system(("mkdir -p " + folder).c_str()) == 0;
  (void)made;
  return folder;
}

AddressStore MakeBook() {
  AddressStore store;
  store.personPath = Folder() + "/personal.inf";
  store.groupPath = Folder() + "/group.inf";
  store.persons = PersonTable();
  PersonTable& persons = *store.persons;
  persons.slots.resize(kPersons);
  persons.capacity = kPersons;
  for (uint32_t n = 0; n < kPersons; ++n) {
    PersonRecord& p = persons[persons.used++];
    std::string d = Description(n);
    CopyToField(p.description, kTextFieldSize, d);
    CopyToField(p.email, kEmailFieldSize, n % 17 == 0 ? "" : "user" + std::to_string(n * 31 % 99991) + "@example.com");
    CopyToField(p.names, kTextFieldSize, std::string(kFirst[n % 10]) + ";;" + kLast[(n / 10) % 8]);
    CopyToField(p.memo, kTextFieldSize, n % 3 ? "" : "met at the fair");
  }
  store.groups = GroupTable();
  GroupTable& groups = *store.groups;
  groups.slots.resize(kGroups);
  groups.capacity = kGroups;
  for (uint32_t g = 0; g < kGroups; ++g) {
    GroupRecord& group = groups[groups.used++];
    CopyToField(group.name, kTextFieldSize, "Team " + std::to_string(g));
    MemberList members;
    for (uint32_t m = 0; m < kMembersPerGroup; ++m) members.push_back((g * 61 + m * 6553) % kPersons);
    group.memberCount = kMembersPerGroup;
    group.members = members;
  }
  BuildIndexes(store);
  return store;
}

const AddressStore& Book() {
  static const AddressStore book = [] {
    AddressStore store = MakeBook();
    SavePersonFile(store);
    SaveGroupFile(store);
    return store;
  }();
  return book;
}

// The plain method: every index built by insertion.
template <typename Key>
std::vector<uint32_t> InsertionBuild(uint32_t used, Key key) {
  std::vector<uint32_t> entries;
  entries.reserve(used + 10);
  for (uint32_t i = 0; i < used; ++i) {
    size_t position = entries.size();
    if (key(i)[0] != 0)
      for (size_t p = 0; p < entries.size(); ++p)
        if (CompareNoCase(key(i), key(entries[p]), CodePage{}) <= 0) {
          position = p;
          break;
        }
    entries.insert(entries.begin() + position, i);
  }
  return entries;
}

void ReferenceBuildIndexes(const AddressStore& store) {
  const PersonTable& persons = *store.persons;
  const GroupTable& groups = *store.groups;
  auto names = InsertionBuild(persons.used, [&](uint32_t s) { return persons[s].description; });
  auto mails = InsertionBuild(persons.used, [&](uint32_t s) { return persons[s].email; });
  auto groupNames = InsertionBuild(groups.used, [&](uint32_t s) { return groups[s].name; });
  benchmark::DoNotOptimize(names.data());
  benchmark::DoNotOptimize(mails.data());
  benchmark::DoNotOptimize(groupNames.data());
}

// The plain load: the person file read as ours does, each member found by a linear scan.
struct Cursor {
  const std::vector<uint8_t>& bytes;
  size_t at = 0;
  uint32_t U32() {
    uint32_t v = 0;
    if (at + 4 <= bytes.size()) std::memcpy(&v, &bytes[at], 4);
    at += 4;
    return v;
  }
  void String(char* field, size_t size) {
    size_t n = 0;
    while (at < bytes.size() && bytes[at] != 0) {
      if (n + 1 < size) field[n++] = static_cast<char>(bytes[at]);
      ++at;
    }
    field[n] = 0;
    ++at;
  }
};

void ReferenceLoad(AddressStore& store) {
  auto personImage = ReadWholeFile(store.personPath);
  Cursor persons{*personImage};
  uint32_t count = persons.U32();
  store.persons = PersonTable();
  store.persons->slots.resize(count);
  store.persons->capacity = count;
  for (uint32_t i = 0; i < count; ++i) {
    PersonRecord& p = (*store.persons)[i];
    persons.String(p.description, kTextFieldSize);
    persons.String(p.email, kEmailFieldSize);
    persons.String(p.names, kTextFieldSize);
    persons.String(p.memo, kTextFieldSize);
  }
  store.persons->used = count;
  auto groupImage = ReadWholeFile(store.groupPath);
  Cursor groups{*groupImage};
  count = groups.U32();
  store.groups = GroupTable();
  store.groups->slots.resize(count);
  store.groups->capacity = count;
  char member[kTextFieldSize];
  for (uint32_t i = 0; i < count; ++i) {
    GroupRecord& g = (*store.groups)[i];
    groups.String(g.name, kTextFieldSize);
    groups.String(g.memo, kTextFieldSize);
    uint32_t m = groups.U32();
    groups.U32();
    MemberList members;
    for (uint32_t k = 0; k < m; ++k) {
      groups.String(member, kTextFieldSize);
      int slot = FindPersonByDescription(store, member);
      if (slot >= 0) members.push_back(static_cast<uint32_t>(slot));
    }
    g.memberCount = static_cast<uint32_t>(members.size());
    if (!members.empty()) g.members = std::move(members);
  }
  store.groups->used = count;
}

// The plain save: the person file rewritten in place, record by record.
void ReferenceSavePersons(const AddressStore& store) {
  std::FILE* file = std::fopen(store.personPath.c_str(), "r+b");
  if (!file) return;
  const PersonTable& table = *store.persons;
  uint32_t live = 0;
  std::fwrite(&live, 4, 1, file);
  for (uint32_t s = 0; s < table.used; ++s) {
    const PersonRecord& p = table[s];
    if (p.deleted) continue;
    for (const char* field : {p.description, p.email, p.names, p.memo}) std::fwrite(field, 1, std::strlen(field) + 1, file);
    ++live;
  }
  std::fseek(file, 0, SEEK_SET);
  std::fwrite(&live, 4, 1, file);
  std::fclose(file);
}

std::vector<std::string> LookupTexts() {
  std::vector<std::string> texts;
  for (uint32_t i = 0; i < kLookups; ++i) {
    std::string d = Description(i * 6 % kPersons);
    if (i % 4 == 0) d += " (new)";  // a quarter of the lookups find nobody
    if (i % 2) for (char& c : d) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    texts.push_back(d);
  }
  return texts;
}

void BM_Load(benchmark::State& state) {
  const AddressStore& book = Book();
  for (auto _ : state) {
    AddressStore store;
    store.personPath = book.personPath;
    store.groupPath = book.groupPath;
    LoadAddressStore(store);
    if (!store.persons || store.persons->used != kPersons) state.SkipWithError("load lost persons");
  }
}
void BM_LoadReference(benchmark::State& state) {
  const AddressStore& book = Book();
  for (auto _ : state) {
    AddressStore store;
    store.personPath = book.personPath;
    store.groupPath = book.groupPath;
    ReferenceLoad(store);
  }
}

void BM_SavePersons(benchmark::State& state) {
  AddressStore store = Book();
  for (auto _ : state) SavePersonFile(store);
}
void BM_SavePersonsReference(benchmark::State& state) {
  const AddressStore& store = Book();
  for (auto _ : state) ReferenceSavePersons(store);
}

void BM_BuildIndexes(benchmark::State& state) {
  AddressStore store = Book();
  for (auto _ : state) BuildIndexes(store);
}
void BM_BuildIndexesReference(benchmark::State& state) {
  const AddressStore& store = Book();
  for (auto _ : state) ReferenceBuildIndexes(store);
}

void BM_BulkLookup(benchmark::State& state) {
  const AddressStore& store = Book();
  const std::vector<std::string> texts = LookupTexts();
  for (auto _ : state) {
    PersonLookup lookup(store);
    int found = 0;
    for (const std::string& t : texts) found += lookup.Find(t.c_str()) >= 0;
    benchmark::DoNotOptimize(found);
  }
}
void BM_BulkLookupReference(benchmark::State& state) {
  const AddressStore& store = Book();
  const std::vector<std::string> texts = LookupTexts();
  for (auto _ : state) {
    int found = 0;
    for (const std::string& t : texts) found += FindPersonByDescription(store, t.c_str()) >= 0;
    benchmark::DoNotOptimize(found);
  }
}

// What storing an edited person costs: the index rebuild and both saves.
void BM_PersonEdit(benchmark::State& state) {
  AddressStore store = Book();
  for (auto _ : state) {
    CopyToField((*store.persons)[4711].memo, kTextFieldSize, "edited");
    FreeIndexes(store);
    BuildIndexes(store);
    SavePersonFile(store);
    SaveGroupFile(store);
  }
}

BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadReference)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_SavePersons)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SavePersonsReference)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildIndexes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildIndexesReference)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_BulkLookup)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BulkLookupReference)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_PersonEdit)->Unit(benchmark::kMillisecond);

}  // namespace
