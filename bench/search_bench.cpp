// Narrowing a full book of 65,535 persons by one more letter of the search box, against the
// plain method: folding every text of every entry again at each keystroke.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "app/panes/entry_view.h"
#include "store/folded_key.h"
#include "store/search_texts.h"

namespace {

constexpr uint32_t kPersons = 65535;

const char* const kFirst[] = {"Ann", "Bob", "Carla", "Dieter", "\xC9lodie", "Frank", "Grete", "Hiro", "Ines", "J\xF6rg"};
const char* const kLast[] = {"Meyer", "Smith", "Tanaka", "Okafor", "Novak", "Rossi", "Dubois", "Lee", "M\xFCller"};

AddressStore& Book() {
  static AddressStore store = [] {
    AddressStore book;
    book.persons = PersonTable();
    PersonTable& persons = *book.persons;
    persons.slots.resize(kPersons);
    persons.capacity = kPersons;
    for (uint32_t n = 0; n < kPersons; ++n) {
      PersonRecord& p = persons[persons.used++];
      std::string first = kFirst[n % 10], last = kLast[(n / 10) % 9];
      CopyToField(p.description, kTextFieldSize, first + " " + last + " " + std::to_string(n));
      CopyToField(p.email, kEmailFieldSize, "user" + std::to_string(n * 31 % 99991) + "@example.com");
      CopyToField(p.names, kTextFieldSize, first + ";;" + last);
      CopyToField(p.memo, kTextFieldSize, n % 3 ? "" : "met at the fair");
    }
    FoldBookTexts(book, SingleByteCodePage(1252));
    return book;
  }();
  return store;
}

std::vector<ItemRef> WholeList() {
  std::vector<ItemRef> items;
  for (uint32_t slot = 0; slot < kPersons; ++slot) items.push_back(MakeItemRef(slot, kPersonItem));
  return items;
}

// "an" is in the box; one more letter makes it "ann".
void BM_NarrowByOneLetter(benchmark::State& state) {
  AddressStore& book = Book();
  std::vector<ItemRef> whole = WholeList();
  EntryView view;
  view.SetWords(SearchWords(book, "an"), whole);
  size_t shown = 0;
  for (auto _ : state) {
    view.SetWords(SearchWords(book, "ann"), whole);
    shown = view.Shown(book).size();
    benchmark::DoNotOptimize(shown);
  }
  state.counters["shown"] = static_cast<double>(shown);
}

bool FoldedPersonHolds(const TextFolding& folding, const PersonRecord& p, const std::vector<std::string>& words) {
  std::string texts;
  for (std::string_view field : {FieldText(p.description, sizeof p.description), FieldText(p.email, sizeof p.email),
                                 FieldText(p.names, sizeof p.names), FieldText(p.memo, sizeof p.memo)}) {
    folding.AppendFolded(field, texts);
    texts.push_back('\0');
  }
  return HoldsEveryWord(folding, texts, words);
}

void BM_NarrowByOneLetterReference(benchmark::State& state) {
  AddressStore& book = Book();
  TextFolding folding(SingleByteCodePage(1252));
  size_t shown = 0;
  for (auto _ : state) {
    std::vector<std::string> words = FoldedWords(folding, "ann");
    std::vector<ItemRef> items;
    for (uint32_t slot = 0; slot < kPersons; ++slot)
      if (FoldedPersonHolds(folding, (*book.persons)[slot], words)) items.push_back(MakeItemRef(slot, kPersonItem));
    shown = items.size();
    benchmark::DoNotOptimize(shown);
  }
  state.counters["shown"] = static_cast<double>(shown);
}

// What the load adds: every entry's texts folded once.
void BM_FoldBook(benchmark::State& state) {
  AddressStore& book = Book();
  for (auto _ : state) FoldBookTexts(book, SingleByteCodePage(1252));
}

}  // namespace

BENCHMARK(BM_NarrowByOneLetter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NarrowByOneLetterReference)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FoldBook)->Unit(benchmark::kMillisecond);
