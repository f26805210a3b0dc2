#include "dialogs/not_same.h"

#include <algorithm>
#include <cstring>

#include "store/folded_key.h"
#include "store/safe_write.h"

namespace {

void PutCount(std::vector<uint8_t>& out, uint32_t n) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(n >> (8 * i)));
}

void PutText(std::vector<uint8_t>& out, const std::string& text) {
  out.insert(out.end(), text.begin(), text.end());
  out.push_back(0);
}

class Reader {
 public:
  explicit Reader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
  bool Count(uint32_t& n) {
    if (bytes_.size() - at_ < 4) return false;
    n = 0;
    for (int i = 0; i < 4; ++i) n |= static_cast<uint32_t>(bytes_[at_ + i]) << (8 * i);
    at_ += 4;
    return true;
  }
  bool Text(std::string& text) {
    const void* zero = std::memchr(bytes_.data() + at_, 0, bytes_.size() - at_);
    if (!zero) return false;
    size_t end = static_cast<size_t>(static_cast<const uint8_t*>(zero) - bytes_.data());
    text.assign(reinterpret_cast<const char*>(bytes_.data()) + at_, end - at_);
    at_ = end + 1;
    return true;
  }

 private:
  const std::vector<uint8_t>& bytes_;
  size_t at_ = 0;
};

}  // namespace

std::string NotSamePath(const std::string& personPath) {
  size_t cut = personPath.find_last_of("\\/");
  return (cut == std::string::npos ? std::string() : personPath.substr(0, cut + 1)) + kNotSameFileName;
}

NotSameKey NotSameKeyOf(const AddressStore& store, const DuplicateSet& set) {
  NotSameKey key;
  for (uint32_t slot : set.persons) {
    const PersonRecord& person = (*store.persons)[slot];
    key.emplace_back(std::string(FieldText(person.description, sizeof person.description)),
                     std::string(FieldText(person.email, sizeof person.email)));
  }
  std::sort(key.begin(), key.end());
  return key;
}

std::vector<uint8_t> NotSameBytes(const NotSameList& list) {
  std::vector<uint8_t> out;
  PutCount(out, static_cast<uint32_t>(list.sets.size()));
  for (const NotSameKey& key : list.sets) {
    PutCount(out, static_cast<uint32_t>(key.size()));
    for (const auto& [description, email] : key) {
      PutText(out, description);
      PutText(out, email);
    }
  }
  return out;
}

NotSameList NotSameFromBytes(const std::vector<uint8_t>& bytes) {
  NotSameList list;
  Reader in(bytes);
  uint32_t sets = 0;
  if (!in.Count(sets)) return list;
  for (uint32_t s = 0; s < sets; ++s) {
    uint32_t persons = 0;
    if (!in.Count(persons)) break;
    NotSameKey key;
    std::string description, email;
    for (uint32_t p = 0; p < persons; ++p) {
      if (!in.Text(description) || !in.Text(email)) return list;
      key.emplace_back(description, email);
    }
    std::sort(key.begin(), key.end());
    if (key.size() >= 2) list.sets.insert(std::move(key));
  }
  return list;
}

NotSameList ReadNotSameList(const std::string& path, DataFileSystem& files) {
  FileImage image = files.ReadWhole(path);
  if (!image.result.ok()) return {};
  return NotSameFromBytes(image.bytes);
}

std::optional<FileFailure> WriteNotSameList(const std::string& path, const NotSameList& list, DataFileSystem& files) {
  return ReplaceFileContent(files, path, NotSameBytes(list));
}

std::vector<DuplicateSet> WithoutDeclared(const AddressStore& store, std::vector<DuplicateSet> sets,
                                          const NotSameList& list) {
  if (list.sets.empty()) return sets;
  sets.erase(std::remove_if(sets.begin(), sets.end(),
                            [&](const DuplicateSet& set) { return list.sets.count(NotSameKeyOf(store, set)) > 0; }),
             sets.end());
  return sets;
}
