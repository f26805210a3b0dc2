// ItemRef: the 32-bit datum of every list item, (slot << 16) | kind.
#pragma once

#include <cstdint>

using ItemRef = uint32_t;

enum ItemKind : uint32_t { kPersonItem = 0, kGroupItem = 1 };

constexpr ItemRef MakeItemRef(uint32_t slot, uint32_t kind) { return ((slot & 0xFFFFu) << 16) | (kind & 0xFFFFu); }
constexpr uint32_t ItemSlot(ItemRef ref) { return ref >> 16; }
constexpr uint32_t ItemKindOf(ItemRef ref) { return ref & 0xFFFFu; }
