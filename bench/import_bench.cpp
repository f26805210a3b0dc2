// Import of a 10,000-alias Eudora file into a book of 55,000 persons: the merge with its batch
// lookup against the same merge with one linear scan of the table per entry.
#include <benchmark/benchmark.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "import/import_merge.h"
#include "import/import_readers.h"
#include "store/indexes.h"

namespace {

constexpr uint32_t kBookSize = 55000;
constexpr uint32_t kAliases = 10000;
constexpr uint32_t kAlreadyPresent = 1000;  // aliases that differ from a person only in case

// Nicknames hold no blank, so neither do the descriptions.
std::string Description(uint32_t n) { return "Person_" + std::to_string(100000 + n); }

const AddressStore& Book() {
  static const AddressStore book = [] {
    AddressStore store;
    store.personPath = "/tmp/kalbook_import_bench_" + std::to_string(std::rand()) + ".inf";
    GrowPersonTableForBatch(store.persons, kBookSize);
    PersonTable& table = *store.persons;
    for (uint32_t n = 0; n < kBookSize; ++n) {
      PersonRecord& p = table[table.used++];
      CopyToField(p.description, kTextFieldSize, Description(n * 7 % kBookSize));
      CopyToField(p.email, kEmailFieldSize, "someone" + std::to_string(n) + "@example.com");
      CopyToField(p.names, kTextFieldSize, ";;");
    }
    BuildIndexes(store);
    return store;
  }();
  return book;
}

const std::string& EudoraText() {
  static const std::string text = [] {
    std::string t;
    for (uint32_t n = 0; n < kAliases; ++n) {
      std::string nick = n < kAlreadyPresent ? Description(n * 31 % kBookSize)
                                             : Description(kBookSize + n);
      for (char& c : nick) c = n < kAlreadyPresent ? static_cast<char>(std::toupper(c)) : c;
      t += "alias " + nick + " mail" + std::to_string(n) + "@example.com\r\n";
    }
    return t;
  }();
  return text;
}

// The merge as the address book first did it: a scan of the whole table for every entry.
std::vector<uint32_t> AppendWithLinearLookups(AddressStore& store, const ImportBatch& batch) {
  std::vector<uint32_t> added;
  if (GrowPersonTableForBatch(store.persons, batch.count())) {
    PersonTable& table = *store.persons;
    for (uint32_t i = 0; i < batch.count(); ++i) {
      char description[kTextFieldSize];
      std::string_view d = batch[i].description;
      CopyToField(description, kTextFieldSize, d.empty() ? std::string_view("") : d);
      if (FindPersonByDescription(store, description) >= 0) continue;
      PersonRecord& p = table[table.used];
      p.deleted = 0;
      CopyToField(p.description, kTextFieldSize, description);
      CopyToField(p.email, kEmailFieldSize, batch[i].email);
      CopyToField(p.names, kTextFieldSize, ";;");
      added.push_back(table.used++);
    }
  }
  FreeIndexes(store);
  BuildIndexes(store);
  SavePersonFile(store);
  return added;
}

template <typename Merge>
void RunImport(benchmark::State& state, Merge merge) {
  for (auto _ : state) {
    state.PauseTiming();
    AddressStore store = Book();
    state.ResumeTiming();
    std::optional<ImportBatch> batch = ReadEudoraNicknames(EudoraText());
    std::vector<uint32_t> added = merge(store, *batch);
    if (added.size() != kAliases - kAlreadyPresent) state.SkipWithError("wrong number added");
    benchmark::DoNotOptimize(added.data());
    state.PauseTiming();
    std::remove(store.personPath.c_str());
    store = AddressStore();  // released outside the timing
    state.ResumeTiming();
  }
}

void BM_ImportEudora10kInto55k(benchmark::State& state) { RunImport(state, AppendImportedPersons); }
void BM_ImportEudora10kInto55kReference(benchmark::State& state) {
  RunImport(state, AppendWithLinearLookups);
}

BENCHMARK(BM_ImportEudora10kInto55k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportEudora10kInto55kReference)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
