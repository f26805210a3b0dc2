// Finding the sets of duplicates in a full book of 65,535 persons holding 1,000 sets, beside
// comparing every pair; the pairs are compared on 5,000 persons and scaled to the full book by
// the square of the sizes, since comparing all of them would take minutes.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "dialogs/duplicate_sets.h"
#include "store/records.h"

namespace {

constexpr uint32_t kPersons = 65535;
constexpr uint32_t kPairwisePersons = 5000;
constexpr uint32_t kSetEvery = 65;  // one person in 65 repeats an earlier one: about 1,000 sets

const char* const kFirst[] = {"Ann", "Bob", "Carla", "Dieter", "Eve", "Frank", "Grete", "Hiro", "Ines", "Jan"};
const char* const kLast[] = {"Meyer", "Smith", "Tanaka", "Okafor", "Novak", "Rossi", "Dubois", "Lee"};

// Person n, or, for every kSetEvery-th, an earlier person written another way.
void FillPerson(PersonRecord& p, uint32_t n) {
  bool repeat = n % kSetEvery == kSetEvery - 1;
  uint32_t who = repeat ? n - 7 : n;
  std::string first = kFirst[who % 10], last = std::string(kLast[(who / 10) % 8]) + std::to_string(who);
  std::string email = "user" + std::to_string(who) + "@example.com";
  std::string description = first + " " + last;
  if (repeat && n % 2) description = last + ", " + first;  // the same name, turned
  if (repeat && !(n % 2)) {
    description = "Dr " + description;
    for (char& c : email) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  CopyToField(p.description, kTextFieldSize, description);
  CopyToField(p.email, kEmailFieldSize, n % 17 == 0 ? "" : email);
  CopyToField(p.names, kTextFieldSize, first + ";;" + last);
  CopyToField(p.memo, kTextFieldSize, n % 3 ? "" : "met at the fair");
}

AddressStore MakeBook(uint32_t count) {
  AddressStore store;
  store.persons = PersonTable();
  store.persons->slots.resize(count);
  store.persons->capacity = count;
  for (uint32_t n = 0; n < count; ++n) FillPerson((*store.persons)[store.persons->used++], n);
  return store;
}

const CodePage kWestern = SingleByteCodePage(1252);

void BM_FindDuplicates65k(benchmark::State& state) {
  AddressStore store = MakeBook(kPersons);
  size_t sets = 0;
  for (auto _ : state) {
    auto found = FindDuplicateSets(store, kWestern);
    sets = found.size();
    benchmark::DoNotOptimize(found);
  }
  state.counters["sets"] = static_cast<double>(sets);
}
BENCHMARK(BM_FindDuplicates65k)->Unit(benchmark::kMillisecond);

void BM_FindDuplicates65kReference(benchmark::State& state) {
  AddressStore store = MakeBook(kPairwisePersons);
  const double scale = (static_cast<double>(kPersons) / kPairwisePersons) * (static_cast<double>(kPersons) / kPairwisePersons);
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    auto found = FindDuplicateSetsPairwise(store, kWestern);
    benchmark::DoNotOptimize(found);
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    state.SetIterationTime(took.count() * scale);
  }
}
BENCHMARK(BM_FindDuplicates65kReference)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
