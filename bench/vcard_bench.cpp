// vCard both ways. Import: a 10,000-card 3.0 file with folded notes and a PHOTO on every tenth
// card into a book of 55,000 persons, against the same merge with one linear scan per entry;
// the same file with CR line ends (as fast as with CR LF), and with CATEGORIES on every card;
// one card whose PHOTO has no colon on its first line and 32,000 folded lines (2.5 MB) after it,
// which must read in linear time (target: under 100 ms).
// Export: a book of 65,535 persons written as vCard, against writing its person file.
#include <benchmark/benchmark.h>

#include <cctype>
#include <cstdio>
#include <string>

#include "bench/export_bench_book.h"
#include "bench/import_bench_book.h"
#include "export/vcard_export.h"
#include "import/import_readers.h"

namespace {

constexpr uint32_t kCards = 10000;
constexpr uint32_t kAlreadyPresent = 1000;  // cards whose FN differs from a person only in case

// A note long enough to be folded over three lines, with escapes in it.
std::string FoldedNote(uint32_t n) {
  std::string note = "NOTE:Met at the trade fair in Oslo\\, stand " + std::to_string(n) +
                     "\\; asked for the catalogue\\nand a call back next week";
  std::string folded;
  for (size_t at = 0; at < note.size(); at += 74) folded += (at ? "\r\n " : "") + note.substr(at, 74);
  return folded + "\r\n";
}

std::string Photo() {
  std::string photo = "PHOTO;ENCODING=b;TYPE=JPEG:";
  for (int line = 0; line < 40; ++line)
    photo += (line ? "\r\n " : "") + std::string("/9j/4AAQSkZJRgABAQEASABIAAD/2wBDAAMCAgMCAgMDAwMEAwMEBQgFBQQEBQoHBwYI");
  return photo + "\r\n";
}

// Two groups per card: one of 50 shared by many cards, one of two members.
std::string Categories(uint32_t n) {
  return "CATEGORIES:Customers " + std::to_string(n % 50) + ",Pair " + std::to_string(n / 2) + "\r\n";
}

std::string MakeCardsText(bool withCategories) {
  std::string t;
  const std::string photo = Photo();
  for (uint32_t n = 0; n < kCards; ++n) {
    std::string fn = n < kAlreadyPresent ? Description(n * 31 % kBookSize) : Description(kBookSize + n);
    for (char& c : fn) c = n < kAlreadyPresent ? static_cast<char>(std::toupper(c)) : c;
    t += "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:" + fn + "\r\nN:Family" + std::to_string(n) + ";Given;;;\r\n";
    t += "item1.EMAIL;type=INTERNET;type=pref:mail" + std::to_string(n) + "@example.com\r\n";
    t += "TEL;TYPE=CELL:+47 555 01 " + std::to_string(n) + "\r\n" + FoldedNote(n);
    if (withCategories) t += Categories(n);
    if (n % 10 == 0) t += photo;
    t += "END:VCARD\r\n";
  }
  return t;
}

const std::string& CardsText() {
  static const std::string text = MakeCardsText(false);
  return text;
}

const std::string& CardsWithCarriageReturnsOnly() {
  static const std::string text = [] {
    std::string t;
    for (char c : CardsText())
      if (c != '\n') t.push_back(c);
    return t;
  }();
  return text;
}

const std::string& CardsWithCategories() {
  static const std::string text = MakeCardsText(true);
  return text;
}

std::optional<ImportBatch> ReadCards(std::string_view text) { return ReadVCard(text); }

void BM_VCardImport10kInto55k(benchmark::State& state) {
  RunImport(state, CardsText(), ReadCards, AppendAndListAdded, kCards - kAlreadyPresent);
}
void BM_VCardImport10kInto55kReference(benchmark::State& state) {
  RunImport(state, CardsText(), ReadCards, AppendWithLinearLookups, kCards - kAlreadyPresent);
}
void BM_VCardImport10kInto55kCarriageReturnsOnly(benchmark::State& state) {
  RunImport(state, CardsWithCarriageReturnsOnly(), ReadCards, AppendAndListAdded, kCards - kAlreadyPresent);
}
void BM_VCardImport10kInto55kWithCategories(benchmark::State& state) {
  RunImport(state, CardsWithCategories(), ReadCards, AppendAndListAdded, kCards - kAlreadyPresent);
}

const std::string& ColonlessPhotoCard() {
  static const std::string text = [] {
    std::string t = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ann Lee\r\nPHOTO;ENCODING=b;TYPE=JPEG\r\n";
    const std::string line = " /9j/4AAQSkZJRgABAQEASABIAAD/2wBDAAMCAgMCAgMDAwMEAwMEBQgFBQQEBQoHBwYIBwcHBwgJCgwK\r\n";
    for (int n = 0; n < 32000; ++n) t += line;
    return t + "EMAIL:ann@example.com\r\nEND:VCARD\r\n";
  }();
  return text;
}

void BM_VCardColonlessPhotoFold32k(benchmark::State& state) {
  for (auto _ : state) {
    std::optional<ImportBatch> batch = ReadVCard(ColonlessPhotoCard());
    if (!batch || batch->count() != 1) state.SkipWithError("the card was not read");
    benchmark::DoNotOptimize(batch);
  }
  state.counters["MB"] = static_cast<double>(ColonlessPhotoCard().size()) / 1e6;
}

void BM_VCardExport65k(benchmark::State& state) {
  RunExport(state, ".vcf", [](const AddressStore& book) { return WriteVCards(book, PersonsToExport(book, {})); });
}
void BM_VCardExport65kReference(benchmark::State& state) { WritePersonFileOfExportBook(state); }

BENCHMARK(BM_VCardImport10kInto55k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VCardImport10kInto55kReference)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_VCardImport10kInto55kCarriageReturnsOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VCardImport10kInto55kWithCategories)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VCardColonlessPhotoFold32k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VCardExport65k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VCardExport65kReference)->Unit(benchmark::kMillisecond);

}  // namespace
