// CSV and LDIF both ways. Import: 10,000 persons as Outlook CSV (categories on every tenth row)
// and as LDIF (with ten lists of 100 members) into a book of 55,000 persons, against the same
// merge with one linear scan per entry. Export: a book of 65,535 persons in 100 groups written as
// Outlook CSV and as LDIF, against writing its person file.
#include <benchmark/benchmark.h>

#include <cctype>
#include <string>

#include "bench/export_bench_book.h"
#include "bench/import_bench_book.h"
#include "export/csv_export.h"
#include "export/ldif_export.h"
#include "import/foreign_book_batch.h"
#include "import/foreign_readers.h"

namespace {

constexpr uint32_t kPersons = 10000;
constexpr uint32_t kAlreadyPresent = 1000;  // persons whose description differs from one only in case

std::string ImportedDescription(uint32_t n) {
  std::string d = n < kAlreadyPresent ? Description(n * 31 % kBookSize) : Description(kBookSize + n);
  if (n < kAlreadyPresent)
    for (char& c : d) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return d;
}

const std::string& CsvText() {
  static const std::string text = [] {
    std::string t = "First Name,Middle Name,Last Name,E-mail Address,E-mail Type,E-mail Display Name,Notes,Categories\r\n";
    for (uint32_t n = 0; n < kPersons; ++n) {
      t += "Given,,Family" + std::to_string(n) + ",mail" + std::to_string(n) + "@example.com,SMTP," +
           ImportedDescription(n) + ",\"Met at the fair in Oslo, stand " + std::to_string(n) +
           "\r\nasked for the catalogue\"," + (n % 10 == 0 ? "Customers;Oslo" : "") + "\r\n";
    }
    return t;
  }();
  return text;
}

std::string Dn(uint32_t n) { return "cn=" + ImportedDescription(n) + ",mail=mail" + std::to_string(n) + "@example.com"; }

const std::string& LdifText() {
  static const std::string text = [] {
    std::string t;
    for (uint32_t n = 0; n < kPersons; ++n) {
      t += "dn: " + Dn(n) + "\r\nobjectclass: top\r\nobjectclass: person\r\nobjectclass: organizationalPerson\r\n"
           "objectclass: inetOrgPerson\r\nobjectclass: mozillaAbPersonAlpha\r\ngivenName: Given\r\nsn: Family" +
           std::to_string(n) + "\r\ncn: " + ImportedDescription(n) + "\r\nmail: mail" + std::to_string(n) +
           "@example.com\r\ndescription: Met at the fair in Oslo, stand " + std::to_string(n) +
           ", asked for the catalogue and a call\r\n  back next week\r\n\r\n";
    }
    for (uint32_t list = 0; list < 10; ++list) {
      t += "dn: cn=List " + std::to_string(list) + "\r\nobjectclass: top\r\nobjectclass: groupOfNames\r\ncn: List " +
           std::to_string(list) + "\r\n";
      for (uint32_t m = 0; m < 100; ++m) t += "member: " + Dn((list * 997 + m * 89) % kPersons) + "\r\n";
      t += "\r\n";
    }
    return t;
  }();
  return text;
}

std::optional<ImportBatch> ReadCsvBatch(std::string_view text) {
  std::optional<ForeignBook> book = ReadContactsCsv(text);
  return book ? BatchOfForeignBook(*book) : std::nullopt;
}
std::optional<ImportBatch> ReadLdifBatch(std::string_view text) { return BatchOfForeignBook(ReadLdif(text)); }

void BM_CsvImport10kInto55k(benchmark::State& state) {
  RunImport(state, CsvText(), ReadCsvBatch, AppendAndListAdded, kPersons - kAlreadyPresent);
}
void BM_CsvImport10kInto55kReference(benchmark::State& state) {
  RunImport(state, CsvText(), ReadCsvBatch, AppendWithLinearLookups, kPersons - kAlreadyPresent);
}
void BM_LdifImport10kInto55k(benchmark::State& state) {
  RunImport(state, LdifText(), ReadLdifBatch, AppendAndListAdded, kPersons - kAlreadyPresent);
}
void BM_LdifImport10kInto55kReference(benchmark::State& state) {
  RunImport(state, LdifText(), ReadLdifBatch, AppendWithLinearLookups, kPersons - kAlreadyPresent);
}

void BM_CsvExport65k(benchmark::State& state) {
  RunExport(state, ".csv", [](const AddressStore& book) { return WriteOutlookCsv(book, PersonsToExport(book, {})); });
}
void BM_CsvExport65kReference(benchmark::State& state) { WritePersonFileOfExportBook(state); }
void BM_LdifExport65k(benchmark::State& state) {
  RunExport(state, ".ldif", [](const AddressStore& book) {
    return WriteLdif(book, PersonsToExport(book, {}), GroupsToExport(book, {}));
  });
}
void BM_LdifExport65kReference(benchmark::State& state) { WritePersonFileOfExportBook(state); }

BENCHMARK(BM_CsvImport10kInto55k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CsvImport10kInto55kReference)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_LdifImport10kInto55k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LdifImport10kInto55kReference)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_CsvExport65k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CsvExport65kReference)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LdifExport65k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LdifExport65kReference)->Unit(benchmark::kMillisecond);

}  // namespace
