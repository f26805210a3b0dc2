#include "dialogs/find_stepping.h"

#include <cstring>
#include <string_view>

namespace {

template <typename Record>
const Record* RecordAt(const std::optional<RecordTable<Record>>& table, uint32_t slot) {
  if (!table || slot >= table->used || slot >= table->slots.size()) return nullptr;
  return &(*table)[slot];
}

// Whether the characters from..to of the text end exactly at `to`, not inside a character.
bool EndsBetweenCharacters(const CodePage& page, std::string_view text, size_t from, size_t to) {
  while (from < to) from += CharLengthAt(page, text, from);
  return from == to;
}

// The field holds the text as a run of whole characters: byte for byte (letter case counts),
// beginning at a character of the field and ending at one. In a double-byte code page a trail
// byte is no character of its own: "A" is not in "\x83\x41" (one Japanese character).
template <size_t Width>
bool Holds(const CodePage& page, const char (&field)[Width], const char* text) {
  std::string_view haystack(field, strnlen(field, Width)), needle(text);
  for (size_t at = 0; at + needle.size() <= haystack.size(); at += CharLengthAt(page, haystack, at)) {
    if (haystack.compare(at, needle.size(), needle) == 0 && EndsBetweenCharacters(page, haystack, at, at + needle.size()))
      return true;
  }
  return false;
}

// First matching position in [from, end), or -1.
int32_t FirstMatch(const std::vector<ItemRef>& items, size_t from, const AddressStore& store, FindMode mode,
                   const char* text) {
  for (size_t i = from; i < items.size(); ++i)
    if (EntryMatches(store, items[i], mode, text)) return static_cast<int32_t>(i);
  return -1;
}

}  // namespace

bool EntryMatches(const AddressStore& store, ItemRef item, FindMode mode, const char* text) {
  if (!text) return false;
  uint32_t slot = ItemSlot(item);
  if (ItemKindOf(item) == kGroupItem) {
    const GroupRecord* group = RecordAt(store.groups, slot);
    return mode == FindMode::kDescription && group && Holds(store.codePage, group->name, text);
  }
  const PersonRecord* person = RecordAt(store.persons, slot);
  if (!person) return false;
  return mode == FindMode::kDescription ? Holds(store.codePage, person->description, text)
                                        : Holds(store.codePage, person->email, text);
}

void FindNextEntry(FindPositions& positions, const std::vector<ItemRef>& items, const AddressStore& store,
                   FindMode mode, const char* text) {
  positions.FindHitPosition = -1;
  if (items.empty()) return;
  int32_t start = positions.FindResumePosition;
  size_t from = start > 0 ? static_cast<size_t>(start) : 0;
  int32_t hit = FirstMatch(items, from, store, mode, text);
  if (hit < 0 && start != 0) hit = FirstMatch(items, 0, store, mode, text);
  positions.FindHitPosition = hit;
  positions.FindResumePosition = hit < 0 ? 0 : hit + 1;
}
