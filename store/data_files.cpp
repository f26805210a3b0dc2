// The two data files: "personal.inf" (persons) and "group.inf" (groups with member names).
#include <cstring>
#include <new>

#include "store/indexes.h"
#include "store/records.h"
#include "store/safe_write.h"

namespace {

// Reads little-endian numbers and zero-terminated strings from a file image, never past its end.
class ImageReader {
 public:
  explicit ImageReader(const std::vector<uint8_t>& image) : image_(image) {}

  bool ReadU32(uint32_t& value) {
    if (image_.size() - pos_ < 4) return Damage();
    value = image_[pos_] | (image_[pos_ + 1] << 8) | (image_[pos_ + 2] << 16) | ((uint32_t)image_[pos_ + 3] << 24);
    pos_ += 4;
    return true;
  }

  // Copies the next string into the field (cut to it); false when the image ends first.
  bool ReadString(char* field, size_t fieldSize) {
    const uint8_t* start = image_.data() + pos_;
    size_t left = image_.size() - pos_;
    const void* zero = std::memchr(start, 0, left);
    size_t length = zero ? (size_t)((const uint8_t*)zero - start) : left;
    CopyToField(field, fieldSize, std::string_view((const char*)start, length));
    if (length >= fieldSize) damaged_ = true;
    if (!zero) {
      pos_ = image_.size();
      return Damage();
    }
    pos_ += length + 1;
    return true;
  }

  bool Skip(uint32_t bytes) {
    if (image_.size() - pos_ < bytes) {
      pos_ = image_.size();
      return Damage();
    }
    pos_ += bytes;
    return true;
  }

  size_t Position() const { return pos_; }
  bool Damaged() const { return damaged_; }

 private:
  bool Damage() {
    damaged_ = true;
    return false;
  }
  const std::vector<uint8_t>& image_;
  size_t pos_ = 0;
  bool damaged_ = false;
};

// Room for `count` records, but never more than the image could describe (at least one byte each).
uint32_t PlausibleCount(uint32_t count, size_t imageSize) {
  size_t most = imageSize / 4 + 1;
  if (count > most) count = (uint32_t)most;
  return count < kMaxSlots ? count : kMaxSlots;
}

bool LoadPersons(AddressStore& store, const std::vector<uint8_t>& image) {
  ImageReader reader(image);
  uint32_t count = 0;
  if (!reader.ReadU32(count)) return false;
  uint32_t room = PlausibleCount(count, image.size());
  PersonTable table;
  table.slots.resize(room);
  table.capacity = room;
  uint32_t loaded = 0;
  for (; loaded < room; ++loaded) {
    PersonRecord& person = table[loaded];
    if (!reader.ReadString(person.description, sizeof person.description) ||
        !reader.ReadString(person.email, sizeof person.email) ||
        !reader.ReadString(person.names, sizeof person.names) ||
        !reader.ReadString(person.memo, sizeof person.memo)) {
      break;  // a record cut short by the end of the file is not taken
    }
  }
  if (loaded < room) std::memset(&table[loaded], 0, sizeof(PersonRecord));
  table.used = loaded;
  store.persons = std::move(table);
  return !reader.Damaged() && loaded == count;
}

bool LoadGroups(AddressStore& store, const std::vector<uint8_t>& image) {
  ImageReader reader(image);
  uint32_t count = 0;
  if (!reader.ReadU32(count)) return false;
  uint32_t room = PlausibleCount(count, image.size());
  GroupTable table;
  table.slots.resize(room);
  table.capacity = room;
  PersonLookup lookup(store);
  char member[kTextFieldSize];
  uint32_t loaded = 0;
  for (; loaded < room; ++loaded) {
    GroupRecord& group = table[loaded];
    uint32_t m = 0, l = 0;
    if (!reader.ReadString(group.name, sizeof group.name) || !reader.ReadString(group.memo, sizeof group.memo) ||
        !reader.ReadU32(m) || !reader.ReadU32(l)) {
      group = GroupRecord{};
      break;
    }
    if (m == 0) {
      if (!reader.Skip(l)) break;
      continue;
    }
    MemberList members;
    bool complete = true;
    for (uint32_t i = 0; i < m; ++i) {
      if (!reader.ReadString(member, sizeof member)) {
        complete = false;
        break;
      }
      int slot = lookup.Find(member);
      if (slot >= 0) members.push_back((uint32_t)slot);
    }
    if (!members.empty()) {
      group.memberCount = (uint32_t)members.size();
      group.members = std::move(members);
    }
    if (!complete) {
      ++loaded;
      break;
    }
  }
  table.used = loaded;
  store.groups = std::move(table);
  return !reader.Damaged() && loaded == count;
}

void PutU32(std::vector<uint8_t>& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back((uint8_t)(value >> (8 * i)));
}

void PutU32At(std::vector<uint8_t>& out, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) out[at + i] = (uint8_t)(value >> (8 * i));
}

void PutString(std::vector<uint8_t>& out, const char* field, size_t fieldSize) {
  size_t length = strnlen(field, fieldSize - 1);
  out.insert(out.end(), field, field + length);
  out.push_back(0);
}

FileLoadResult Unreadable(const std::string& path, const IoResult& result) {
  FileLoadResult load;
  load.status = FileLoadStatus::kUnreadable;
  load.failure.path = path;
  load.failure.reason = result.reason;
  load.failure.outOfMemory = result.error == IoError::kOutOfMemory;
  return load;
}

FileLoadResult OutOfMemory(const std::string& path) {
  IoResult result;
  result.error = IoError::kOutOfMemory;
  return Unreadable(path, result);
}

FileLoadResult LoadPersonFile(AddressStore& store, DataFileSystem& files) {
  FileLoadResult load;
  FileImage image = files.ReadWhole(store.personPath);
  if (image.result.error == IoError::kNotFound) return load;
  if (!image.result.ok()) return Unreadable(store.personPath, image.result);
  try {
    load.status = LoadPersons(store, image.bytes) ? FileLoadStatus::kLoaded : FileLoadStatus::kDamaged;
  } catch (const std::bad_alloc&) {
    store.persons.reset();
    return OutOfMemory(store.personPath);
  }
  load.records = store.persons ? store.persons->used : 0;
  store.personFile.keepOriginal = load.status == FileLoadStatus::kDamaged;
  return load;
}

// Groups name their members by description: when persons were lost, so were those members,
// and the group file is kept as it was before its first save too.
FileLoadResult LoadGroupFile(AddressStore& store, DataFileSystem& files, bool personsDamaged) {
  FileLoadResult load;
  FileImage image = files.ReadWhole(store.groupPath);
  if (image.result.error == IoError::kNotFound) return load;
  if (!store.persons) {
    // Without persons no group is loaded; whatever the file holds is kept before a save replaces it.
    load.status = FileLoadStatus::kNotLoaded;
    store.groupFile.keepOriginal = !image.result.ok() || !image.bytes.empty();
    return load;
  }
  if (!image.result.ok()) return Unreadable(store.groupPath, image.result);
  try {
    load.status = LoadGroups(store, image.bytes) ? FileLoadStatus::kLoaded : FileLoadStatus::kDamaged;
  } catch (const std::bad_alloc&) {
    store.groups.reset();
    return OutOfMemory(store.groupPath);
  }
  load.records = store.groups ? store.groups->used : 0;
  store.groupFile.keepOriginal = load.status == FileLoadStatus::kDamaged || personsDamaged;
  return load;
}

// Keeps the original first when it is damaged, then replaces the file; the state remembers
// a failure until a later save of the same file completes.
bool CompleteSave(DataFileSystem& files, const std::string& path, DataFileState& state,
                  const std::vector<uint8_t>& bytes) {
  std::optional<FileFailure> failure;
  if (state.keepOriginal) failure = KeepOriginalCopy(files, path);
  if (!failure) {
    state.keepOriginal = false;
    failure = ReplaceFileContent(files, path, bytes);
  }
  if (failure) {
    state.savePending = true;
    state.failureUntold = true;
    state.lastFailure = *failure;
    return false;
  }
  state.savePending = false;
  state.failureUntold = false;
  return true;
}

template <typename Compose>
bool SaveFile(DataFileSystem& files, const std::string& path, DataFileState& state, Compose compose) {
  if (state.savesRefused) {
    state.savePending = state.failureUntold = true;
    state.lastFailure = FileFailure{FileStep::kCreate, path, std::string(), false, true};
    return false;
  }
  std::vector<uint8_t> bytes;
  try {
    compose(bytes);
  } catch (const std::bad_alloc&) {
    state.savePending = state.failureUntold = true;
    state.lastFailure = FileFailure{FileStep::kWrite, path, std::string(), true};
    return false;
  }
  return CompleteSave(files, path, state, bytes);
}

void ComposePersonFile(const PersonTable& table, std::vector<uint8_t>& out) {
  PutU32(out, 0);
  uint32_t written = 0;
  for (uint32_t slot = 0; slot < table.used; ++slot) {
    const PersonRecord& person = table[slot];
    if (person.deleted) continue;
    PutString(out, person.description, sizeof person.description);
    PutString(out, person.email, sizeof person.email);
    PutString(out, person.names, sizeof person.names);
    PutString(out, person.memo, sizeof person.memo);
    ++written;
  }
  PutU32At(out, 0, written);
}

void ComposeGroupFile(const AddressStore& store, std::vector<uint8_t>& out) {
  const GroupTable& table = *store.groups;
  PutU32(out, 0);
  uint32_t written = 0;
  for (uint32_t slot = 0; slot < table.used; ++slot) {
    const GroupRecord& group = table[slot];
    if (group.deleted) continue;
    ++written;
    PutString(out, group.name, sizeof group.name);
    PutString(out, group.memo, sizeof group.memo);
    size_t counts = out.size();
    PutU32(out, 0);
    PutU32(out, 0);
    if (!store.persons || !group.members) continue;
    uint32_t m = 0;
    for (uint32_t member : *group.members) {
      if (member >= store.persons->used) continue;
      const PersonRecord& person = (*store.persons)[member];
      if (person.deleted) continue;
      PutString(out, person.description, sizeof person.description);
      ++m;
    }
    PutU32At(out, counts, m);
    PutU32At(out, counts + 4, (uint32_t)(out.size() - counts - 8));
  }
  PutU32At(out, 0, written);
}

}  // namespace

std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& path) {
  FileImage image = PlatformFiles().ReadWhole(path);
  if (!image.result.ok()) return std::nullopt;
  return std::move(image.bytes);
}

LoadReport LoadAddressStore(AddressStore& store, DataFileSystem& files) {
  store.persons.reset();
  store.groups.reset();
  store.personFile = DataFileState{};
  store.groupFile = DataFileState{};
  LoadReport report;
  report.persons = LoadPersonFile(store, files);
  if (report.persons.status == FileLoadStatus::kUnreadable) return report;
  report.groups = LoadGroupFile(store, files, report.persons.status == FileLoadStatus::kDamaged);
  return report;
}

bool SavePersonFile(AddressStore& store, DataFileSystem& files) {
  if (!store.persons) return true;
  return SaveFile(files, store.personPath, store.personFile,
                  [&](std::vector<uint8_t>& out) { ComposePersonFile(*store.persons, out); });
}

bool SaveGroupFile(AddressStore& store, DataFileSystem& files) {
  if (!store.groups) return true;
  return SaveFile(files, store.groupPath, store.groupFile,
                  [&](std::vector<uint8_t>& out) { ComposeGroupFile(store, out); });
}
