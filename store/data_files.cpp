// The two data files: "personal.inf" (persons) and "group.inf" (groups with member names).
#include <cstdio>
#include <cstring>

#include "store/file_replace.h"
#include "store/indexes.h"
#include "store/records.h"

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

class OutputFile {
 public:
  explicit OutputFile(const std::string& path) : file_(std::fopen(path.c_str(), "wb")) {}
  ~OutputFile() {
    if (file_) std::fclose(file_);
  }
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  bool IsOpen() const { return file_ != nullptr; }
  bool Close() {
    bool ok = file_ && std::fflush(file_) == 0 && !std::ferror(file_);
    if (file_ && std::fclose(file_) != 0) ok = false;
    file_ = nullptr;
    return ok;
  }

 private:
  std::FILE* file_;
  friend bool WriteBytes(OutputFile&, const std::vector<uint8_t>&);
};

bool WriteBytes(OutputFile& out, const std::vector<uint8_t>& bytes) {
  return bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), out.file_) == bytes.size();
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

// Keeps the bytes of a file that loaded as damaged before a save replaces it.
void KeepDamagedCopy(const std::string& path, bool& damaged) {
  if (!damaged) return;
  auto original = ReadWholeFile(path);
  if (original) {
    OutputFile copy(path + ".damaged");
    if (!copy.IsOpen() || !WriteBytes(copy, *original) || !copy.Close()) return;  // try again next save
  }
  damaged = false;
}

bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::string temp = path + ".tmp";
  OutputFile out(temp);
  if (!out.IsOpen()) return false;
  bool written = WriteBytes(out, bytes);
  if (!out.Close() || !written || !ReplaceFileAtomically(temp, path)) {
    std::remove(temp.c_str());
    return false;
  }
  return true;
}

}  // namespace

std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return std::nullopt;
  std::vector<uint8_t> bytes;
  uint8_t chunk[65536];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
  bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) return std::nullopt;
  return bytes;
}

void LoadAddressStore(AddressStore& store) {
  store.persons.reset();
  store.groups.reset();
  store.personFileDamaged = store.groupFileDamaged = false;
  auto personImage = ReadWholeFile(store.personPath);
  if (personImage) store.personFileDamaged = !LoadPersons(store, *personImage);
  auto groupImage = ReadWholeFile(store.groupPath);
  if (!groupImage) return;
  if (!store.persons) {
    // Without persons no group is loaded; keep the file's bytes before a save replaces it.
    store.groupFileDamaged = !groupImage->empty();
    return;
  }
  store.groupFileDamaged = !LoadGroups(store, *groupImage);
}

bool SavePersonFile(AddressStore& store) {
  if (!store.persons) return false;
  KeepDamagedCopy(store.personPath, store.personFileDamaged);
  const PersonTable& table = *store.persons;
  std::vector<uint8_t> out;
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
  return WriteWholeFile(store.personPath, out);
}

bool SaveGroupFile(AddressStore& store) {
  if (!store.groups) return false;
  KeepDamagedCopy(store.groupPath, store.groupFileDamaged);
  const GroupTable& table = *store.groups;
  std::vector<uint8_t> out;
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
  return WriteWholeFile(store.groupPath, out);
}
