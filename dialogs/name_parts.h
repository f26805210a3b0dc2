// The three parts of a person's contact name, kept together in `names` as "first;middle;last".
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "store/code_page.h"

struct NameParts {
  std::string first;
  std::string middle;
  std::string last;
};

// Splits a stored `names` field of fieldSize bytes at its first two semicolons. Reading stops at
// the terminating zero or at the end of the field, whichever comes first; a missing semicolon
// leaves the parts after it empty, and further semicolons stay in the last part.
NameParts SplitNames(const char* field, size_t fieldSize);

// "first;middle;last" into a field of fieldSize bytes, always zero-terminated.
// False (with the field holding the text cut between characters) when the joined text does not fit.
bool JoinNames(const NameParts& parts, char* field, size_t fieldSize, const CodePage& page);

// The longest text one part may hold so that the three joined with two separators fit a field
// of fieldSize bytes, given the lengths of the other two parts (never below 0).
size_t NamePartRoom(size_t fieldSize, size_t otherLength1, size_t otherLength2);
