#include "dialogs/duplicate_sets.h"

#include <algorithm>
#include <numeric>
#include <unordered_map>

#include "dialogs/name_parts.h"
#include "store/folded_key.h"

namespace {

bool IsBlank(unsigned char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text) {
  size_t begin = 0, end = text.size();
  while (begin < end && IsBlank(static_cast<unsigned char>(text[begin]))) ++begin;
  while (end > begin && IsBlank(static_cast<unsigned char>(text[end - 1]))) --end;
  return text.substr(begin, end - begin);
}

bool IsSingleBytePunctuation(unsigned char c) {
  return (c >= '!' && c <= '/') || (c >= ':' && c <= '@') || (c >= '[' && c <= '`') || (c >= '{' && c <= '~');
}

// The position of the one comma that is a character of its own, or npos when there is none or
// more than one.
size_t OnlyComma(std::string_view text, const CodePage& page) {
  size_t found = std::string_view::npos;
  for (size_t i = 0; i < text.size(); i += CharLengthAt(page, text, i)) {
    if (text[i] != ',' || CharLengthAt(page, text, i) != 1) continue;
    if (found != std::string_view::npos) return std::string_view::npos;
    found = i;
  }
  return found;
}

// Punctuation left out, blanks joined to one, none at either end; trail bytes stay as they are.
std::string WordsOnly(std::string_view text, const CodePage& page) {
  std::string out;
  out.reserve(text.size());
  bool blank = false;
  for (size_t i = 0; i < text.size();) {
    size_t n = CharLengthAt(page, text, i);
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (n == 1 && IsBlank(c)) {
      blank = true;
    } else if (n > 1 || !IsSingleBytePunctuation(c)) {
      if (blank && !out.empty()) out.push_back(' ');
      blank = false;
      out.append(text.substr(i, n));
    }
    i += n;
  }
  return out;
}

struct Sets {
  std::vector<uint32_t> parent;
  explicit Sets(size_t n) : parent(n) { std::iota(parent.begin(), parent.end(), 0u); }
  uint32_t Root(uint32_t x) {
    while (parent[x] != x) x = parent[x] = parent[parent[x]];
    return x;
  }
  void Join(uint32_t a, uint32_t b) {
    a = Root(a), b = Root(b);
    if (a != b) parent[std::max(a, b)] = std::min(a, b);  // the lowest slot stays the root
  }
};

std::vector<uint32_t> LiveSlots(const AddressStore& store) {
  std::vector<uint32_t> live;
  if (!store.persons) return live;
  live.reserve(store.persons->used);
  for (uint32_t s = 0; s < store.persons->used; ++s)
    if (!(*store.persons)[s].deleted) live.push_back(s);
  return live;
}

// Sets from the pairs the match joined: `reasonOf` holds each joined person's reasons.
std::vector<DuplicateSet> Collect(const std::vector<uint32_t>& live, Sets& sets, const std::vector<uint32_t>& reasonOf) {
  std::unordered_map<uint32_t, size_t> setOfRoot;
  std::vector<DuplicateSet> out;
  for (size_t i = 0; i < live.size(); ++i) {
    if (reasonOf[i] == 0) continue;  // a person nothing matched
    uint32_t root = sets.Root(static_cast<uint32_t>(i));
    auto [it, added] = setOfRoot.try_emplace(root, out.size());
    if (added) out.emplace_back();
    out[it->second].persons.push_back(live[i]);
    out[it->second].reasons |= reasonOf[i];
  }
  return out;
}

}  // namespace

std::string FoldForMatching(std::string_view text, const CodePage& page) {
  (void)page;
  std::string folded;
  AppendFolded(folded, text);
  return folded;
}

std::string EmailKey(std::string_view email, const CodePage& page) {
  std::string key = FoldForMatching(Trimmed(email), page);
  size_t at = key.rfind('@');
  if (at != std::string::npos && key.compare(at + 1, std::string::npos, "googlemail.com") == 0)
    key.replace(at + 1, std::string::npos, "gmail.com");
  return key;
}

std::string DescriptionKey(std::string_view description, const CodePage& page) {
  std::string_view text = Trimmed(description);
  size_t comma = OnlyComma(text, page);
  std::string ordered(text);
  if (comma != std::string_view::npos) {
    std::string_view last = Trimmed(text.substr(0, comma)), first = Trimmed(text.substr(comma + 1));
    if (!last.empty() && !first.empty()) ordered = std::string(first) + " " + std::string(last);
  }
  return WordsOnly(FoldForMatching(ordered, page), page);
}

MatchKeys KeysOf(const PersonRecord& person, const CodePage& page) {
  MatchKeys keys;
  keys.email = EmailKey(FieldText(person.email, sizeof person.email), page);
  keys.description = DescriptionKey(FieldText(person.description, sizeof person.description), page);
  NameParts parts = SplitNames(person.names, sizeof person.names);
  std::string first = FoldForMatching(Trimmed(parts.first), page), last = FoldForMatching(Trimmed(parts.last), page);
  if (!first.empty() && !last.empty()) keys.names = first + '\0' + last;
  return keys;
}

std::vector<DuplicateSet> FindDuplicateSets(const AddressStore& store, const CodePage& page) {
  std::vector<uint32_t> live = LiveSlots(store);
  Sets sets(live.size());
  std::vector<uint32_t> reasonOf(live.size(), 0);
  // The description and the name parts are both names: one key space would let a description
  // match a name part, so each rule keeps its own.
  std::unordered_map<std::string, uint32_t> firstWith[3];
  for (auto& map : firstWith) map.reserve(live.size());
  for (uint32_t i = 0; i < live.size(); ++i) {
    MatchKeys keys = KeysOf((*store.persons)[live[i]], page);
    std::string* byRule[3] = {&keys.email, &keys.description, &keys.names};
    for (int rule = 0; rule < 3; ++rule) {
      if (byRule[rule]->empty()) continue;
      auto [it, added] = firstWith[rule].try_emplace(std::move(*byRule[rule]), i);
      if (added) continue;
      uint32_t reason = rule == 0 ? kSameEmail : kSameName;
      reasonOf[i] |= reason;
      reasonOf[it->second] |= reason;
      sets.Join(it->second, i);
    }
  }
  return Collect(live, sets, reasonOf);
}

std::vector<DuplicateSet> FindDuplicateSetsPairwise(const AddressStore& store, const CodePage& page) {
  std::vector<uint32_t> live = LiveSlots(store);
  std::vector<MatchKeys> keys;
  keys.reserve(live.size());
  for (uint32_t slot : live) keys.push_back(KeysOf((*store.persons)[slot], page));
  Sets sets(live.size());
  std::vector<uint32_t> reasonOf(live.size(), 0);
  for (uint32_t i = 0; i < live.size(); ++i)
    for (uint32_t j = i + 1; j < live.size(); ++j) {
      uint32_t reason = 0;
      if (!keys[i].email.empty() && keys[i].email == keys[j].email) reason |= kSameEmail;
      if ((!keys[i].description.empty() && keys[i].description == keys[j].description) ||
          (!keys[i].names.empty() && keys[i].names == keys[j].names))
        reason |= kSameName;
      if (!reason) continue;
      reasonOf[i] |= reason;
      reasonOf[j] |= reason;
      sets.Join(i, j);
    }
  return Collect(live, sets, reasonOf);
}

size_t CountInSets(const std::vector<DuplicateSet>& sets, const std::vector<uint32_t>& slots) {
  std::vector<uint32_t> inSets;
  for (const auto& set : sets) inSets.insert(inSets.end(), set.persons.begin(), set.persons.end());
  std::sort(inSets.begin(), inSets.end());
  size_t count = 0;
  for (uint32_t slot : slots) count += std::binary_search(inSets.begin(), inSets.end(), slot);
  return count;
}
