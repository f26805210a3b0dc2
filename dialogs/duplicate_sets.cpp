#include "dialogs/duplicate_sets.h"

#include <algorithm>
#include <numeric>
#include <unordered_map>

#include "dialogs/name_parts.h"
#include "store/folded_key.h"
#include "store/text_fold.h"

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

// Appends the text with punctuation left out, blanks joined to one and none at either end; trail
// bytes stay as they are.
void AppendWordsOnly(std::string& out, std::string_view text, const CodePage& page) {
  size_t begin = out.size();
  bool blank = false;
  for (size_t i = 0; i < text.size();) {
    size_t n = CharLengthAt(page, text, i);
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (n == 1 && IsBlank(c)) {
      blank = true;
    } else if (n > 1 || !IsSingleBytePunctuation(c)) {
      if (blank && out.size() > begin) out.push_back(' ');
      blank = false;
      out.append(text.substr(i, n));
    }
    i += n;
  }
}

// The first and the last of the three parts of a `names` field, without copying them.
void FirstAndLast(const char* field, size_t fieldSize, std::string_view& first, std::string_view& last) {
  std::string_view names = FieldText(field, fieldSize);
  size_t one = names.find(';');
  first = names.substr(0, one);
  last = {};
  if (one == std::string_view::npos) return;
  size_t two = names.find(';', one + 1);
  if (two != std::string_view::npos) last = names.substr(two + 1);
}

void AppendEmailKey(std::string& out, std::string_view email, const TextFolding& folding) {
  size_t begin = out.size();
  folding.AppendFolded(Trimmed(email), out);
  size_t at = out.rfind('@');
  if (at != std::string::npos && at >= begin && out.compare(at + 1, std::string::npos, "googlemail.com") == 0)
    out.replace(at + 1, std::string::npos, "gmail.com");
}

void AppendDescriptionKey(std::string& out, std::string& scratch, std::string_view description,
                          const TextFolding& folding) {
  const CodePage& page = folding.Page();
  std::string_view text = Trimmed(description);
  size_t comma = OnlyComma(text, page);
  std::string_view ordered = text;
  if (comma != std::string_view::npos) {
    std::string_view last = Trimmed(text.substr(0, comma)), first = Trimmed(text.substr(comma + 1));
    if (!last.empty() && !first.empty()) {
      scratch.assign(first).append(" ").append(last);
      ordered = scratch;
    }
  }
  std::string folded;
  folding.AppendFolded(ordered, folded);
  AppendWordsOnly(out, folded, page);
}

void AppendNamesKey(std::string& out, const PersonRecord& person, const TextFolding& folding) {
  std::string_view first, last;
  FirstAndLast(person.names, sizeof person.names, first, last);
  first = Trimmed(first), last = Trimmed(last);
  if (first.empty() || last.empty()) return;
  size_t begin = out.size();
  folding.AppendFolded(first, out);
  size_t middle = out.size();
  out.push_back('\0');
  folding.AppendFolded(last, out);
  if (middle == begin || out.size() == middle + 1) out.resize(begin);  // a part folded to nothing
}

uint64_t HashOf(std::string_view key) {
  uint64_t hash = 14695981039346656037ull;
  for (char c : key) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  return hash;
}

// One rule's keys of every live person, side by side in one block of text.
struct KeyColumn {
  struct Entry {
    uint64_t hash;
    uint32_t person;  // index among the live persons
    uint32_t offset;
    uint32_t length;
  };
  std::string text;
  std::vector<Entry> entries;

  void Add(uint32_t person, size_t offset) {
    if (text.size() == offset) return;  // an empty key matches nothing
    std::string_view key(text.data() + offset, text.size() - offset);
    entries.push_back({HashOf(key), person, static_cast<uint32_t>(offset), static_cast<uint32_t>(key.size())});
  }
  std::string_view KeyOf(const Entry& entry) const { return std::string_view(text).substr(entry.offset, entry.length); }
};

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

std::string FoldForMatching(std::string_view text, const CodePage& page) { return TextFolding(page).Folded(text); }

std::string EmailKey(std::string_view email, const CodePage& page) {
  std::string key;
  AppendEmailKey(key, email, TextFolding(page));
  return key;
}

std::string DescriptionKey(std::string_view description, const CodePage& page) {
  std::string key, scratch;
  AppendDescriptionKey(key, scratch, description, TextFolding(page));
  return key;
}

MatchKeys KeysOf(const PersonRecord& person, const CodePage& page) {
  MatchKeys keys;
  std::string scratch;
  TextFolding folding(page);
  AppendEmailKey(keys.email, FieldText(person.email, sizeof person.email), folding);
  AppendDescriptionKey(keys.description, scratch, FieldText(person.description, sizeof person.description), folding);
  AppendNamesKey(keys.names, person, folding);
  return keys;
}

// Each rule's keys sorted by their hash: persons with equal keys then stand side by side, and
// each joins the first person of its key.
std::vector<DuplicateSet> FindDuplicateSets(const AddressStore& store, const CodePage& page) {
  std::vector<uint32_t> live = LiveSlots(store);
  KeyColumn columns[3];  // e-mail, description, first and last name: a description never meets a name part
  for (auto& column : columns) {
    column.entries.reserve(live.size());
    column.text.reserve(live.size() * 24);
  }
  std::string scratch;
  TextFolding folding(page);
  for (uint32_t i = 0; i < live.size(); ++i) {
    const PersonRecord& person = (*store.persons)[live[i]];
    size_t at = columns[0].text.size();
    AppendEmailKey(columns[0].text, FieldText(person.email, sizeof person.email), folding);
    columns[0].Add(i, at);
    at = columns[1].text.size();
    AppendDescriptionKey(columns[1].text, scratch, FieldText(person.description, sizeof person.description), folding);
    columns[1].Add(i, at);
    at = columns[2].text.size();
    AppendNamesKey(columns[2].text, person, folding);
    columns[2].Add(i, at);
  }
  Sets sets(live.size());
  std::vector<uint32_t> reasonOf(live.size(), 0);
  for (int rule = 0; rule < 3; ++rule) {
    KeyColumn& column = columns[rule];
    auto& entries = column.entries;
    std::sort(entries.begin(), entries.end(), [](const KeyColumn::Entry& a, const KeyColumn::Entry& b) {
      return a.hash != b.hash ? a.hash < b.hash : a.person < b.person;
    });
    uint32_t reason = rule == 0 ? kSameEmail : kSameName;
    for (size_t run = 0; run < entries.size();) {
      size_t end = run + 1;
      while (end < entries.size() && entries[end].hash == entries[run].hash) ++end;
      for (size_t k = run + 1; k < end; ++k)
        for (size_t j = run; j < k; ++j)  // the earlier person with the same key, past a rare equal hash
          if (column.KeyOf(entries[j]) == column.KeyOf(entries[k])) {
            reasonOf[entries[j].person] |= reason;
            reasonOf[entries[k].person] |= reason;
            sets.Join(entries[j].person, entries[k].person);
            break;
          }
      run = end;
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
