// Damaged and hostile server answers fed to two sync rounds of a small book: whatever the
// server says, the first sync changes nothing this computer holds, a person edited here before
// the second stays with its edit, the state reads back as written, a card patched with no
// change keeps its bytes, and a kept card text comes back byte for byte.
#include <fuzzer/FuzzedDataProvider.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "dialogs/name_parts.h"
#include "store/indexes.h"
#include "store/name_rules.h"
#include "sync/card_text.h"
#include "sync/sync_engine.h"

namespace {

const char kBook[] = "http://127.0.0.1:5232/user/book/";

// Saves go nowhere: the rounds are judged in memory.
class NoFiles : public DataFileSystem {
  class Sink : public OutputFile {
    IoResult Write(const uint8_t*, size_t) override { return {}; }
    IoResult Flush() override { return {}; }
    IoResult Close() override { return {}; }
  };

 public:
  FileImage ReadWhole(const std::string&) override {
    FileImage image;
    image.result.error = IoError::kNotFound;
    return image;
  }
  bool Exists(const std::string&) override { return false; }
  IoResult Create(const std::string&, CreateMode, std::unique_ptr<OutputFile>& file) override {
    file = std::make_unique<Sink>();
    return {};
  }
  IoResult Replace(const std::string&, const std::string&) override { return {}; }
  void Remove(const std::string&) override {}
};

std::string Href(FuzzedDataProvider& data) {
  switch (data.ConsumeIntegralInRange(0, 9)) {
    case 0: return kBook;
    case 1: return data.ConsumeRandomLengthString(40);
    default: return std::string(kBook) + "c" + std::to_string(data.ConsumeIntegralInRange(0, 7)) + ".vcf";
  }
}

std::string CardTextOf(FuzzedDataProvider& data) {
  if (data.ConsumeBool()) return data.ConsumeRandomLengthString(400);
  std::string text = "BEGIN:VCARD\r\nVERSION:" + std::string(data.ConsumeBool() ? "3.0" : "4.0") + "\r\n";
  int lines = data.ConsumeIntegralInRange(0, 8);
  const char* names[] = {"FN", "N", "EMAIL", "NOTE", "CATEGORIES", "UID", "KIND", "MEMBER", "TEL", "REV",
                         "X-ADDRESSBOOKSERVER-KIND", "X-ADDRESSBOOKSERVER-MEMBER"};
  for (int i = 0; i < lines; ++i) {
    text += names[data.ConsumeIntegralInRange<size_t>(0, std::size(names) - 1)];
    text += data.ConsumeBool() ? ":" : ";" + data.ConsumeRandomLengthString(10) + ":";
    text += data.ConsumeRandomLengthString(60) + "\r\n";
  }
  return text + (data.ConsumeBool() ? "END:VCARD\r\n" : "");
}

class FuzzedServer : public DavTransport {
 public:
  explicit FuzzedServer(FuzzedDataProvider& data) : data_(data) {}
  DavAnswer Send(const DavRequest&) override {
    DavAnswer answer;
    if (++requests_ > 200 || data_.remaining_bytes() == 0) return answer;  // the connection ends
    const int statuses[] = {207, 207, 207, 200, 201, 204, 404, 412, 500, 0, 401, 403, 507};
    answer.httpStatus = statuses[data_.ConsumeIntegralInRange<size_t>(0, std::size(statuses) - 1)];
    answer.multistatus = data_.ConsumeBool();
    answer.etag = data_.ConsumeRandomLengthString(8);
    if (data_.ConsumeBool()) answer.location = Href(data_);
    if (data_.ConsumeBool()) answer.body = CardTextOf(data_);
    if (data_.ConsumeBool()) answer.syncToken = data_.ConsumeRandomLengthString(8);
    if (data_.ConsumeIntegralInRange(0, 15) == 0) answer.failure = kAnswerTooLarge;
    int responses = data_.ConsumeIntegralInRange(0, 8);
    for (int i = 0; i < responses; ++i) {
      DavResponse response;
      response.href = Href(data_);
      const int codes[] = {200, 200, 404, 507, 0, 410};
      response.status = codes[data_.ConsumeIntegralInRange<size_t>(0, std::size(codes) - 1)];
      response.etag = data_.ConsumeRandomLengthString(8);
      if (data_.ConsumeBool()) response.addressData = CardTextOf(data_);
      response.isCollection = data_.ConsumeIntegralInRange(0, 7) == 0;
      answer.responses.push_back(std::move(response));
    }
    return answer;
  }

 private:
  FuzzedDataProvider& data_;
  int requests_ = 0;
};

struct Person {
  std::string description, email, names, memo;
};

std::vector<Person> LivePersons(const AddressStore& store) {
  std::vector<Person> persons;
  if (!store.persons) return persons;
  for (uint32_t i = 0; i < store.persons->used; ++i) {
    const PersonRecord& p = (*store.persons)[i];
    if (!p.deleted) persons.push_back(Person{p.description, p.email, p.names, p.memo});
  }
  return persons;
}

bool Holds(const AddressStore& store, const Person& person) {
  int slot = FindPersonByDescription(store, person.description.c_str());
  if (slot < 0) return false;
  const PersonRecord& p = (*store.persons)[slot];
  return person.email == p.email && person.names == p.names && person.memo == p.memo;
}

void Round(FuzzedDataProvider& data, AddressStore& store, SyncState& state, NoFiles& files) {
  FuzzedServer server(data);
  BookSnapshot shot = TakeBookSnapshot(store, 1);
  SyncAccount account;
  account.bookUrl = kBook;
  std::atomic<bool> cancel{false};
  SyncResult result = RunSyncRound(server, shot, account, state, cancel, nullptr);
  ApplySyncResult(store, shot, result, state, files);
  std::vector<uint8_t> bytes = SyncStateBytes(state);
  std::optional<SyncState> back = SyncStateFromBytes(bytes);
  if (!back || SyncStateBytes(*back) != bytes) std::abort();
}

void CheckPatch(const std::string& text) {
  std::optional<ParsedCard> card = ParseCard(text);
  if (!card) return;
  std::string same = PatchCard(*card, CardEdit{});
  if (same != text && same != text + "\r\n") std::abort();
  CardEdit edit;
  edit.note = "x";
  std::optional<ParsedCard> patched = ParseCard(PatchCard(*card, edit));
  if (!patched || patched->fields.note != "x") std::abort();
}

// A kept text comes back byte for byte: the fuzzed text, and a long base64 value folded at a
// fuzzed width with the fuzzed text put inside it.
void CheckKept(const std::string& text, FuzzedDataProvider& data) {
  if (CardText(text).Text() != text) std::abort();
  static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string value;
  size_t length = 1024 + data.ConsumeIntegralInRange<size_t>(0, 3000);
  for (size_t i = 0; i < length; ++i) value.push_back(kDigits[(i * 7 + text.size()) % 64]);
  size_t width = data.ConsumeIntegralInRange<size_t>(1, 200);
  const char* fold = data.PickValueInArray({"\r\n ", "\n\t", "\r ", "\r\n\t"});
  std::string folded;
  for (size_t at = 0; at < value.size(); at += width) folded += (at ? fold : "") + value.substr(at, width);
  folded.insert(data.ConsumeIntegralInRange<size_t>(0, folded.size()), text);
  std::string card = "BEGIN:VCARD\r\nPHOTO;ENCODING=b:" + folded + "\r\nEND:VCARD\r\n";
  if (CardText(card).Text() != card) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  FuzzedDataProvider data(bytes, size);
  std::string text = CardTextOf(data);
  CheckPatch(text);
  CheckKept(text, data);
  AddressStore store;
  NoFiles files;
  int persons = data.ConsumeIntegralInRange(0, 4);
  for (int i = 0; i < persons; ++i) {
    if (!ReserveRecordSlot(store.persons)) std::abort();
    PersonRecord& p = (*store.persons)[store.persons->used];
    std::string description = "P" + std::to_string(i) + data.ConsumeRandomLengthString(6);
    FitNameToRules(description, SystemCodePage());
    CopyToField(p.description, kTextFieldSize, description);
    CopyToField(p.email, kEmailFieldSize, data.ConsumeRandomLengthString(12));
    CopyToField(p.names, kTextFieldSize, ";;");
    CopyToField(p.memo, kTextFieldSize, data.ConsumeRandomLengthString(12));
    ++store.persons->used;
  }
  BuildIndexes(store);
  // First sync: every person here stays as it is.
  std::vector<Person> before = LivePersons(store);
  SyncState state;
  Round(data, store, state, files);
  for (const Person& person : before)
    if (!Holds(store, person)) std::abort();
  // Second sync: a memo edited here survives whatever the server did meanwhile.
  std::vector<Person> edited = LivePersons(store);
  for (Person& person : edited) {
    person.memo = "edited here, not random";
    int slot = FindPersonByDescription(store, person.description.c_str());
    CopyToField((*store.persons)[slot].memo, kTextFieldSize, person.memo);
  }
  Round(data, store, state, files);
  for (const Person& person : edited)
    if (!Holds(store, person)) std::abort();
  return 0;
}
