// The book the export benchmarks write out, and the person file write they are measured against.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "export/vcard_export.h"
#include "store/records.h"

constexpr uint32_t kExportBook = 65535;

// A full book: names, a memo on every other person (some with characters beyond ASCII), and
// 100 groups of 50 members each.
inline const AddressStore& ExportBook() {
  static const AddressStore book = [] {
    AddressStore store;
    store.personPath = "/tmp/kalbook_vcard_bench_" + std::to_string(std::rand()) + ".inf";
    GrowPersonTableForBatch(store.persons, kExportBook);
    PersonTable& table = *store.persons;
    for (uint32_t n = 0; n < kExportBook; ++n) {
      PersonRecord& p = table[table.used++];
      CopyToField(p.description, kTextFieldSize, "Person number " + std::to_string(n) + ", Oslo");
      CopyToField(p.email, kEmailFieldSize, "person" + std::to_string(n) + "@example.com");
      CopyToField(p.names, kTextFieldSize, "Given" + std::to_string(n) + ";;Family");
      if (n % 2) CopyToField(p.memo, kTextFieldSize, std::string(n % 4 ? "Caf\xE9 " : "plain ") + std::string(60, 'm'));
    }
    for (uint32_t g = 0; g < 100; ++g) {
      ReserveRecordSlot(store.groups);
      GroupRecord& group = (*store.groups)[store.groups->used++];
      CopyToField(group.name, kTextFieldSize, "Group " + std::to_string(g));
      MemberList members;
      for (uint32_t m = 0; m < 50; ++m) members.push_back((g * 613 + m * 7) % kExportBook);
      group.memberCount = static_cast<uint32_t>(members.size());
      group.members = members;
    }
    return store;
  }();
  return book;
}

// What every export is measured against: writing the same book's person file.
inline void WritePersonFileOfExportBook(benchmark::State& state) {
  AddressStore book = ExportBook();
  for (auto _ : state)
    if (!SavePersonFile(book)) state.SkipWithError("person file not written");
  std::remove(book.personPath.c_str());
}

// Writes the book with `write` and the text through the export's safe write, as the command does.
template <typename Writer>
void RunExport(benchmark::State& state, const char* extension, Writer write) {
  const AddressStore& book = ExportBook();
  std::string path = book.personPath + extension;
  for (auto _ : state)
    if (!WriteExportFile(path, write(book))) state.SkipWithError("export not written");
  std::remove(path.c_str());
}
