#include "store/indexes.h"

namespace {

template <typename Table, typename KeyOf>
int FindFirstLive(const std::optional<Table>& table, const char* text, const CodePage& page, KeyOf keyOf) {
  if (!table) return -1;
  for (uint32_t slot = 0; slot < table->used; ++slot) {
    const auto& record = (*table)[slot];
    if (record.deleted != 0) continue;
    if (CompareNoCase(keyOf(record), text, page) == 0) return static_cast<int>(slot);
  }
  return -1;
}

}  // namespace

int FindPersonByDescription(const AddressStore& store, const char* text) {
  return FindFirstLive(store.persons, text, store.codePage, [](const PersonRecord& p) { return p.description; });
}

int FindGroupByName(const AddressStore& store, const char* text) {
  return FindFirstLive(store.groups, text, store.codePage, [](const GroupRecord& g) { return g.name; });
}
