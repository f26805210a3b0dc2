#include "app/panes/item_mirror.h"

#include <exception>
#include <new>

namespace {

constexpr size_t kReserveLimit = 1u << 20;  // more than any list holds; a wild hint is cut

}  // namespace

void ItemMirror::Lose() {
  items_.clear();
  lost_ = true;
}

void ItemMirror::Clear() {
  items_.clear();
  lost_ = false;
}

void ItemMirror::Reserve(size_t more) {
  try {
    items_.reserve(items_.size() + (more < kReserveLimit ? more : kReserveLimit));
  } catch (const std::exception&) {
    // only a hint
  }
}

void ItemMirror::Inserted(long position, uint32_t item) {
  if (position < 0) return;  // the list refused the item: nothing changed
  if (lost_ || static_cast<size_t>(position) > items_.size()) return Lose();
  try {
    items_.insert(items_.begin() + position, item);
  } catch (const std::bad_alloc&) {
    Lose();
  }
}

void ItemMirror::Erased(size_t position) {
  if (lost_ || position >= items_.size()) return Lose();
  items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(position));
}

void ItemMirror::Replaced(size_t position, uint32_t item) {
  if (lost_ || position >= items_.size()) return Lose();
  items_[position] = item;
}

void ItemMirror::ReadAgain(const std::vector<uint32_t>& items) {
  try {
    items_ = items;
    lost_ = false;
  } catch (const std::bad_alloc&) {
    Lose();
  }
}
