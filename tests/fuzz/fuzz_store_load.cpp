// Arbitrary bytes as both data files: the load stays inside the images, every record it keeps
// is terminated within its fields, members point at loaded persons, and what it saves loads back
// to the same book.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "store/indexes.h"
#include "store/records.h"

namespace {

std::string Scratch(const char* name) { return "/tmp/fuzz_store_load_" + std::to_string(getpid()) + name; }

void WriteFile(const std::string& path, const uint8_t* data, size_t size) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) std::abort();
  if (size && std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);
}

// The real files without the trips to the device, which would slow every run down and prove
// nothing about the loader.
class ScratchFiles : public DataFileSystem {
 public:
  FileImage ReadWhole(const std::string& path) override { return real_.ReadWhole(path); }
  bool Exists(const std::string& path) override { return real_.Exists(path); }
  IoResult Create(const std::string& path, CreateMode mode, std::unique_ptr<OutputFile>& file) override {
    std::unique_ptr<OutputFile> inner;
    IoResult result = real_.Create(path, mode, inner);
    if (result.ok()) file = std::make_unique<Output>(std::move(inner));
    return result;
  }
  IoResult Replace(const std::string& from, const std::string& to) override {
    return std::rename(from.c_str(), to.c_str()) == 0 ? IoResult{} : IoResult{IoError::kOther, "rename"};
  }
  void Remove(const std::string& path) override { real_.Remove(path); }

 private:
  struct Output : OutputFile {
    explicit Output(std::unique_ptr<OutputFile> inner) : inner(std::move(inner)) {}
    IoResult Write(const uint8_t* data, size_t size) override { return inner->Write(data, size); }
    IoResult Flush() override { return {}; }
    IoResult Close() override { return inner->Close(); }
    std::unique_ptr<OutputFile> inner;
  };
  DataFileSystem& real_ = PlatformFiles();
};

bool Terminated(const char* field, size_t size) { return std::memchr(field, 0, size) != nullptr; }

void CheckPersons(const AddressStore& store) {
  if (!store.persons) return;
  const PersonTable& t = *store.persons;
  if (t.used > t.capacity || t.capacity > t.slots.size() || t.capacity > kMaxSlots) std::abort();
  for (uint32_t s = 0; s < t.used; ++s) {
    const PersonRecord& p = t[s];
    if (p.deleted || !Terminated(p.description, kTextFieldSize) || !Terminated(p.email, kEmailFieldSize) ||
        !Terminated(p.names, kTextFieldSize) || !Terminated(p.memo, kTextFieldSize))
      std::abort();
  }
}

void CheckGroups(const AddressStore& store) {
  if (!store.groups) return;
  if (!store.persons) std::abort();  // groups are never loaded without persons
  const GroupTable& t = *store.groups;
  if (t.used > t.capacity || t.capacity > t.slots.size()) std::abort();
  for (uint32_t s = 0; s < t.used; ++s) {
    const GroupRecord& g = t[s];
    if (!Terminated(g.name, kTextFieldSize) || !Terminated(g.memo, kTextFieldSize)) std::abort();
    uint32_t count = g.members ? static_cast<uint32_t>(g.members->size()) : 0;
    if (g.memberCount != count) std::abort();
    if (g.members)
      for (uint32_t member : *g.members)
        if (member >= store.persons->used) std::abort();
  }
}

bool SameBook(const AddressStore& a, const AddressStore& b) {
  if (a.persons->used != b.persons->used) return false;
  for (uint32_t s = 0; s < a.persons->used; ++s)
    if (std::memcmp(&(*a.persons)[s], &(*b.persons)[s], sizeof(PersonRecord)) != 0) return false;
  return true;
}

}  // namespace

// The first byte splits the input: that many sixteenths go to the person file, the rest to the groups.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  size_t personBytes = (size - 1) * (data[0] & 15) / 15;
  AddressStore store;
  store.personPath = Scratch("_personal.inf");
  store.groupPath = Scratch("_group.inf");
  WriteFile(store.personPath, data + 1, personBytes);
  WriteFile(store.groupPath, data + 1 + personBytes, size - 1 - personBytes);
  ScratchFiles files;
  LoadAddressStore(store, files);
  CheckPersons(store);
  CheckGroups(store);
  BuildIndexes(store);
  if (store.persons) {
    if (!SavePersonFile(store, files) || (store.groups && !SaveGroupFile(store, files))) std::abort();
    AddressStore again;
    again.personPath = store.personPath;
    again.groupPath = store.groupPath;
    LoadAddressStore(again, files);
    if (!again.persons || again.personFile.keepOriginal || !SameBook(store, again)) std::abort();
  }
  for (const char* suffix : {"_personal.inf", "_group.inf", "_personal.inf.damaged", "_group.inf.damaged"})
    std::remove(Scratch(suffix).c_str());
  return 0;
}
