// The case-insensitive comparison, the key lookups and the three sorted indexes.
#pragma once

#include "store/records.h"

// Byte-wise comparison folding only A-Z to a-z; -1, 0 or +1.
int CompareNoCase(const char* a, const char* b);

// First live slot whose key compares equal to text, or -1.
int FindPersonByDescription(const AddressStore& store, const char* text);
int FindGroupByName(const AddressStore& store, const char* text);

// Releases and rebuilds PersonNameIndex, PersonMailIndex and GroupNameIndex.
void BuildIndexes(AddressStore& store);
void FreeIndexes(AddressStore& store);

// Finds many descriptions at once with the same answer FindPersonByDescription gives for each,
// for callers that look up a whole batch (group load, import merge).
class PersonLookup {
 public:
  explicit PersonLookup(const AddressStore& store);
  int Find(const char* description) const;  // first live slot, or -1
  void Add(uint32_t slot);                  // a live person appended after construction
 private:
  const AddressStore& store_;
  std::vector<uint32_t> sorted_;  // live slots ordered by (description, slot)
  std::vector<uint32_t> added_;
};
