// The book the import benchmarks merge into, and the merge they are measured against.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "import/import_merge.h"
#include "store/code_page.h"
#include "import/import_readers.h"
#include "store/indexes.h"

constexpr uint32_t kBookSize = 55000;

// Nicknames hold no blank, so neither do the descriptions.
inline std::string Description(uint32_t n) { return "Person_" + std::to_string(100000 + n); }

inline const AddressStore& Book() {
  static const AddressStore book = [] {
    AddressStore store;
    store.personPath = "/tmp/kalbook_import_bench_" + std::to_string(std::rand()) + ".inf";
    store.groupPath = store.personPath + ".groups";
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

// The merge as the address book first did it: a scan of the whole table for every entry.
inline std::vector<uint32_t> AppendWithLinearLookups(AddressStore& store, const ImportBatch& batch) {
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
      JoinImportedNames(batch[i], p.names);
      CopyToField(p.memo, kTextFieldSize, batch[i].memo);
      added.push_back(table.used++);
    }
  }
  FreeIndexes(store);
  BuildIndexes(store);
  SavePersonFile(store);
  return added;
}

// The merge of the program, giving the persons added.
inline std::vector<uint32_t> AppendAndListAdded(AddressStore& store, const ImportBatch& batch) {
  return AppendImportedPersons(store, batch, SystemCodePage()).persons;
}

// Reads the text and merges it into a fresh copy of the book, the copy made outside the timing.
template <typename Reader, typename Merge>
void RunImport(benchmark::State& state, const std::string& text, Reader read, Merge merge,
               size_t expectedAdded) {
  for (auto _ : state) {
    state.PauseTiming();
    AddressStore store = Book();
    state.ResumeTiming();
    std::optional<ImportBatch> batch = read(text);
    std::vector<uint32_t> added = merge(store, *batch);
    if (added.size() != expectedAdded) state.SkipWithError("wrong number added");
    benchmark::DoNotOptimize(added.data());
    state.PauseTiming();
    std::remove(store.personPath.c_str());
    std::remove(store.groupPath.c_str());
    store = AddressStore();  // released outside the timing
    state.ResumeTiming();
  }
}
