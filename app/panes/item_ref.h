// ItemRef: the 32-bit datum of every list item, (slot << 16) | kind.
#pragma once

#include <cstdint>
#include <vector>

using ItemRef = uint32_t;

enum ItemKind : uint32_t { kPersonItem = 0, kGroupItem = 1 };

constexpr ItemRef MakeItemRef(uint32_t slot, uint32_t kind) { return ((slot & 0xFFFFu) << 16) | (kind & 0xFFFFu); }
constexpr uint32_t ItemSlot(ItemRef ref) { return ref >> 16; }
constexpr uint32_t ItemKindOf(ItemRef ref) { return ref & 0xFFFFu; }

// One item of the kind per slot, in slot order.
inline std::vector<ItemRef> MakeItemRefs(const std::vector<uint32_t>& slots, uint32_t kind) {
  std::vector<ItemRef> items;
  items.reserve(slots.size());
  for (uint32_t slot : slots) items.push_back(MakeItemRef(slot, kind));
  return items;
}
