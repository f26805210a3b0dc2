// What the CSV and LDIF readers find in a file: persons and groups with their texts in UTF-8,
// before anything is converted to this system's code page or checked against the book.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "import/decoded_person.h"

struct ForeignGroup {
  std::string name, memo;
  std::string label;  // what the report calls it: the name, else what its dn calls it
  std::vector<size_t> members;              // indexes into ForeignBook::persons, in file order
  std::vector<std::string> missingMembers;  // names of members the file does not hold
};

struct ForeignBook {
  std::vector<DecodedPerson> persons;  // in file order, those without an e-mail address included
  std::vector<ForeignGroup> groups;    // groups the file defines whole, in file order
  std::vector<size_t> unclosedQuoteLines;  // CSV: lines where a quote opened that never closes
};
