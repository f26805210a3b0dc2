// Which live persons may be one person entered twice, and the sets they form.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/code_page.h"
#include "store/records.h"

// Case and accents folded as the search box folds them, for the code page (TextFolding).
std::string FoldForMatching(std::string_view text, const CodePage& page);

// The three keys a person is matched by; an empty key matches nothing.
struct MatchKeys {
  std::string email;        // folded, trimmed, "googlemail.com" read as "gmail.com"
  std::string description;  // folded, punctuation and repeated blanks out, "Last, First" as "First Last"
  std::string names;        // folded first and last part, only when both are there
};

MatchKeys KeysOf(const PersonRecord& person, const CodePage& page);
std::string EmailKey(std::string_view email, const CodePage& page);
std::string DescriptionKey(std::string_view description, const CodePage& page);

enum MatchReason : uint32_t { kSameEmail = 1, kSameName = 2 };

struct DuplicateSet {
  std::vector<uint32_t> persons;  // ascending slots; the first is the one a merge keeps
  uint32_t reasons = 0;           // MatchReason bits of the matches that joined it
};

// Every set of two or more live persons joined by a match, directly or through others, in the
// order of their first person.
std::vector<DuplicateSet> FindDuplicateSets(const AddressStore& store, const CodePage& page);

// The same, the plain way: every pair compared. For measuring and checking only.
std::vector<DuplicateSet> FindDuplicateSetsPairwise(const AddressStore& store, const CodePage& page);

// How many of these slots stand in some set.
size_t CountInSets(const std::vector<DuplicateSet>& sets, const std::vector<uint32_t>& slots);
