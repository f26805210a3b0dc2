// The case-insensitive comparison, the key lookups and the three sorted indexes.
#pragma once

#include <string>
#include <unordered_map>

#include "store/records.h"

// Byte-wise comparison folding only A-Z to a-z, and only in single-byte characters of the code
// page (a trail byte is compared as it is); -1, 0 or +1.
int CompareNoCase(const char* a, const char* b, const CodePage& page);

// First live slot whose key compares equal to text under the store's code page, or -1.
int FindPersonByDescription(const AddressStore& store, const char* text);
int FindGroupByName(const AddressStore& store, const char* text);

// Releases and rebuilds PersonNameIndex, PersonMailIndex and GroupNameIndex.
void BuildIndexes(AddressStore& store);
void FreeIndexes(AddressStore& store);

// Finds many descriptions at once with the same answer FindPersonByDescription gives for each,
// for callers that look up a whole batch (group load, import merge). It sees the live persons
// at construction plus those passed to Add; deleting a person afterwards is not seen.
class PersonLookup {
 public:
  explicit PersonLookup(const AddressStore& store);
  int Find(const char* description) const;  // first live slot, or -1
  void Add(uint32_t slot);                  // a live person appended after construction
 private:
  const AddressStore& store_;
  std::unordered_map<std::string, uint32_t> firstSlot_;  // folded description -> lowest live slot
};
