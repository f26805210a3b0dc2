// A list's ItemRefs in list order, kept in step with the list by the changes it is told of, so
// that type-ahead and screen readers need not read them back one by one. Only references are
// kept; texts are always read from the records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class ItemMirror {
 public:
  void Clear();
  void Reserve(size_t more);                        // a hint; never fails
  void Inserted(long position, uint32_t item);      // where the list put it; < 0 when it refused
  void Erased(size_t position);
  void Replaced(size_t position, uint32_t item);
  // True when the mirror can stand for a list of `count` items; false once a change could not
  // be followed (out of range, or no memory), until the items are read again.
  bool InStepWith(size_t count) const { return !lost_ && items_.size() == count; }
  void ReadAgain(const std::vector<uint32_t>& items);
  const std::vector<uint32_t>& items() const { return items_; }

 private:
  void Lose();
  std::vector<uint32_t> items_;
  bool lost_ = false;
};
