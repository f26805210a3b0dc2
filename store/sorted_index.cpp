// The three sorted indexes. The order is exactly the one a plain insertion build gives (each
// slot in turn inserted before the first entry it compares less than or equal to, an empty key
// appended at the end), but it is computed by sorting, so 65,535 records take milliseconds.
//
// What the insertion build yields: non-empty keys ascending, equal keys with the higher slot
// first. An empty key compares below every other key, so no insertion scan ever stops at it;
// it stays behind every non-empty key that stood before it when it was appended, and a later
// key goes in front of it exactly when that key is <= the greatest key among those earlier
// slots. So an empty key of slot j stands right after the last sorted key that is <= the
// greatest non-empty key of the slots below j, and empty keys sharing a place keep slot order.
#include <algorithm>
#include <new>

#include "store/folded_key.h"
#include "store/indexes.h"

namespace {

struct KeyEntry {
  uint64_t prefix;  // first 8 folded bytes, big-endian, zero-padded: decides most comparisons
  uint32_t offset;  // folded key in the arena
  uint32_t length;
  uint32_t slot;
};

class FoldedKeys {
 public:
  explicit FoldedKeys(const CodePage& page) : page_(page) {}

  KeyEntry Add(std::string_view key, uint32_t slot) {
    KeyEntry entry{0, static_cast<uint32_t>(arena_.size()), static_cast<uint32_t>(key.size()), slot};
    AppendFolded(arena_, key, page_);
    for (size_t i = 0; i < 8; ++i) {
      unsigned char c = i < key.size() ? static_cast<unsigned char>(arena_[entry.offset + i]) : 0;
      entry.prefix = (entry.prefix << 8) | c;
    }
    return entry;
  }

  void Reserve(size_t bytes) { arena_.reserve(bytes); }

  int Compare(const KeyEntry& a, const KeyEntry& b) const {
    if (a.prefix != b.prefix) return a.prefix < b.prefix ? -1 : 1;
    return Text(a).compare(Text(b));
  }

 private:
  std::string_view Text(const KeyEntry& e) const {
    return std::string_view(arena_.data() + e.offset, e.length);
  }
  const CodePage& page_;
  std::string arena_;
};

template <typename Table, typename KeyOf>
std::vector<uint32_t> OrderLikeInsertion(const Table& table, const CodePage& page, KeyOf keyOf) {
  FoldedKeys keys(page);
  keys.Reserve(static_cast<size_t>(table.used) * 24);
  std::vector<KeyEntry> sorted;
  sorted.reserve(table.used);
  struct EmptyKey {
    uint32_t slot;
    int greatestBefore;  // index into `sorted` before sorting, -1 when no non-empty key came first
  };
  std::vector<EmptyKey> empties;
  int greatest = -1;
  for (uint32_t slot = 0; slot < table.used; ++slot) {
    std::string_view key = keyOf(table[slot]);
    if (key.empty()) {
      empties.push_back({slot, greatest});
      continue;
    }
    sorted.push_back(keys.Add(key, slot));
    if (greatest < 0 || keys.Compare(sorted.back(), sorted[greatest]) > 0)
      greatest = static_cast<int>(sorted.size() - 1);
  }
  std::vector<KeyEntry> greatestEntries;
  greatestEntries.reserve(empties.size());
  for (const EmptyKey& e : empties)
    greatestEntries.push_back(e.greatestBefore < 0 ? KeyEntry{} : sorted[e.greatestBefore]);

  std::sort(sorted.begin(), sorted.end(), [&keys](const KeyEntry& a, const KeyEntry& b) {
    int c = keys.Compare(a, b);
    return c != 0 ? c < 0 : a.slot > b.slot;
  });

  std::vector<uint32_t> order;
  order.reserve(table.used);
  size_t next = 0;
  for (size_t i = 0; i < empties.size(); ++i) {
    size_t place = 0;
    if (empties[i].greatestBefore >= 0) {
      const KeyEntry& bound = greatestEntries[i];
      place = static_cast<size_t>(
          std::upper_bound(sorted.begin(), sorted.end(), bound,
                           [&keys](const KeyEntry& a, const KeyEntry& b) {
                             return keys.Compare(a, b) < 0;
                           }) -
          sorted.begin());
    }
    for (; next < place; ++next) order.push_back(sorted[next].slot);
    order.push_back(empties[i].slot);
  }
  for (; next < sorted.size(); ++next) order.push_back(sorted[next].slot);
  return order;
}

template <typename Table, typename KeyOf>
void BuildOne(SortedIndex& index, const Table& table, const CodePage& page, KeyOf keyOf) {
  try {
    std::vector<uint32_t> order = OrderLikeInsertion(table, page, keyOf);
    index.entries.assign(static_cast<size_t>(table.used) + 10, 0);
    std::copy(order.begin(), order.end(), index.entries.begin());
    index.count = static_cast<int32_t>(order.size());
    index.built = true;
  } catch (const std::bad_alloc&) {
    index = SortedIndex{};
  }
}

}  // namespace

void FreeIndexes(AddressStore& store) {
  store.personNameIndex = SortedIndex{};
  store.personMailIndex = SortedIndex{};
  store.groupNameIndex = SortedIndex{};
}

void BuildIndexes(AddressStore& store) {
  FreeIndexes(store);
  if (store.persons) {
    BuildOne(store.personNameIndex, *store.persons, store.codePage,
             [](const PersonRecord& p) { return FieldText(p.description, kTextFieldSize); });
    BuildOne(store.personMailIndex, *store.persons, store.codePage,
             [](const PersonRecord& p) { return FieldText(p.email, kEmailFieldSize); });
  }
  if (store.groups) {
    BuildOne(store.groupNameIndex, *store.groups, store.codePage,
             [](const GroupRecord& g) { return FieldText(g.name, kTextFieldSize); });
  }
}
