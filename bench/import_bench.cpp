// Import of a 10,000-alias Eudora file into a book of 55,000 persons: the merge with its batch
// lookup against the same merge with one linear scan of the table per entry.
#include <benchmark/benchmark.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/import_bench_book.h"
#include "import/import_readers.h"

namespace {

constexpr uint32_t kAliases = 10000;
constexpr uint32_t kAlreadyPresent = 1000;  // aliases that differ from a person only in case

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

std::optional<ImportBatch> ReadEudora(std::string_view text) { return ReadEudoraNicknames(text); }

void BM_ImportEudora10kInto55k(benchmark::State& state) {
  RunImport(state, EudoraText(), ReadEudora, AppendAndListAdded, kAliases - kAlreadyPresent);
}
void BM_ImportEudora10kInto55kReference(benchmark::State& state) {
  RunImport(state, EudoraText(), ReadEudora, AppendWithLinearLookups, kAliases - kAlreadyPresent);
}

BENCHMARK(BM_ImportEudora10kInto55k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportEudora10kInto55kReference)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
