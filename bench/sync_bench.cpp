// The sync core against the in-memory CardDAV server with 5,000 cards (TEL, ADR and a 20 KB
// PHOTO each): the first sync into an empty book, a sync that finds one changed card (also
// right after a restart, and the state's reading at start), and the first upload of 5,000 new
// persons. The server's own time is part of each figure. The first
// sync also tells the most memory it took beyond what the book and the server held before it
// (the round, the apply and the saved state), and what the state keeps afterwards.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "bench/memory_peak.h"
#include "store/indexes.h"
#include "sync/sync_engine.h"
#include "tests/unit/sync_fake_server.h"

namespace {

constexpr int kCards = 5000;

std::string Folder() {
  static const std::string folder = "/tmp/kalbook_sync_bench_" + std::to_string(getpid());
  static const bool made = std::system(("mkdir -p " + folder).c_str()) == 0;
  (void)made;
  return folder;
}

std::string Photo() {
  std::string photo = "PHOTO;ENCODING=b;TYPE=JPEG:";
  for (int i = 0; i < 20 * 1024; ++i) photo.push_back("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdef"[i % 32]);
  std::string folded;
  for (size_t at = 0; at < photo.size(); at += 74) folded += (at ? "\r\n " : "") + photo.substr(at, 74);
  return folded + "\r\n";
}

std::string CardOf(int n, const std::string& photo) {
  std::string id = std::to_string(n);
  return "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:card-" + id + "\r\nFN:Person " + id + "\r\nN:" + id + ";Person;;;\r\n"
         "EMAIL;TYPE=INTERNET:person" + id + "@example.org\r\nTEL;TYPE=CELL:+49 30 " + id +
         "\r\nADR;TYPE=HOME:;;Street " + id + ";Town;;12345;DE\r\n" + photo + "END:VCARD\r\n";
}

void FillServer(FakeCardDavServer& server) {
  const std::string photo = Photo();
  for (int n = 0; n < kCards; ++n) server.Store("card-" + std::to_string(n) + ".vcf", CardOf(n, photo));
}

AddressStore EmptyBook() {
  AddressStore store;
  store.personPath = Folder() + "/personal.inf";
  store.groupPath = Folder() + "/group.inf";
  return store;
}

// As the shell does it: the worker gets a copy of the state, the apply and the save follow.
SyncState SyncOnce(FakeCardDavServer& server, AddressStore& store, SyncState state) {
  BookSnapshot shot = TakeBookSnapshot(store, 1);
  SyncAccount account;
  account.bookUrl = FakeCardDavServer::kBook;
  std::atomic<bool> cancel{false};
  SyncResult result = RunSyncRound(server, shot, account, state, cancel, nullptr);
  ApplySyncResult(store, shot, result, state);
  SaveSyncState(Folder(), state);
  return state;
}

double Megabytes(size_t bytes) { return static_cast<double>(bytes) / 1e6; }

void BM_SyncFirstInto5000Cards(benchmark::State& state) {
  FakeCardDavServer server;
  FillServer(server);
  double peak = 0, kept = 0;
  for (auto _ : state) {
    AddressStore store = EmptyBook();
    size_t before = HeldBytes();
    ResetPeakHeldBytes();
    SyncState synced = SyncOnce(server, store, SyncState{});
    peak = std::max(peak, Megabytes(PeakHeldBytes() - before));
    kept = Megabytes(HeldBytes() - before);
    benchmark::DoNotOptimize(synced.entries.size());
  }
  state.counters["peak_MB"] = peak;
  state.counters["kept_MB"] = kept;
  std::printf("memory SyncFirstInto5000Cards: at most %.1f MB more than before (target under 100 MB), "
              "%.1f MB kept with the book and the state\n", peak, kept);
}
BENCHMARK(BM_SyncFirstInto5000Cards)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SyncOneChangedOf5000(benchmark::State& state) {
  FakeCardDavServer server;
  FillServer(server);
  AddressStore store = EmptyBook();
  SyncState synced = SyncOnce(server, store, SyncState{});
  const std::string photo = Photo();
  int round = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::string text = CardOf(17, photo);
    text.insert(text.size() - std::string("END:VCARD\r\n").size(), "NOTE:round " + std::to_string(++round) + "\r\n");
    server.Store("card-17.vcf", text);
    state.ResumeTiming();
    size_t before = HeldBytes();
    ResetPeakHeldBytes();
    synced = SyncOnce(server, store, std::move(synced));
    state.counters["peak_MB"] = Megabytes(PeakHeldBytes() - before);
  }
}
BENCHMARK(BM_SyncOneChangedOf5000)->Unit(benchmark::kMillisecond)->Iterations(5);

// The same after a restart: the state comes from its file, so each card is read once more.
void BM_SyncOneChangedOf5000AfterRestart(benchmark::State& state) {
  FakeCardDavServer server;
  FillServer(server);
  AddressStore store = EmptyBook();
  SyncState synced = SyncOnce(server, store, SyncState{});
  const std::string photo = Photo();
  int round = 0;
  for (auto _ : state) {
    state.PauseTiming();
    synced = SyncState{};
    synced = LoadSyncState(Folder()).state;
    std::string text = CardOf(17, photo);
    text.insert(text.size() - std::string("END:VCARD\r\n").size(), "NOTE:round " + std::to_string(++round) + "\r\n");
    server.Store("card-17.vcf", text);
    state.ResumeTiming();
    synced = SyncOnce(server, store, std::move(synced));
  }
}
BENCHMARK(BM_SyncOneChangedOf5000AfterRestart)->Unit(benchmark::kMillisecond)->Iterations(3);

// Reading the state of 5,000 cards at start.
void BM_SyncStateLoadOf5000Cards(benchmark::State& state) {
  FakeCardDavServer server;
  FillServer(server);
  AddressStore store = EmptyBook();
  SyncOnce(server, store, SyncState{});
  for (auto _ : state) {
    SyncStateLoad load = LoadSyncState(Folder());
    benchmark::DoNotOptimize(load.state.entries.size());
  }
}
BENCHMARK(BM_SyncStateLoadOf5000Cards)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SyncFirstUploadOf5000Persons(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    FakeCardDavServer server;
    AddressStore store = EmptyBook();
    for (int n = 0; n < kCards; ++n) {
      ReserveRecordSlot(store.persons);
      PersonRecord& p = (*store.persons)[store.persons->used++];
      CopyToField(p.description, kTextFieldSize, "Person " + std::to_string(n));
      CopyToField(p.email, kEmailFieldSize, "person" + std::to_string(n) + "@example.org");
      CopyToField(p.names, kTextFieldSize, "Person;;" + std::to_string(n));
    }
    BuildIndexes(store);
    state.ResumeTiming();
    SyncState synced = SyncOnce(server, store, SyncState{});
    benchmark::DoNotOptimize(synced.entries.size());
  }
}
BENCHMARK(BM_SyncFirstUploadOf5000Persons)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
