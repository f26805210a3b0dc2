#include "store/search_texts.h"

#include "store/folded_key.h"
#include "store/records.h"

namespace {

const TextFolding& Folding(AddressStore& store) {
  if (!store.searchTexts.folding) store.searchTexts.folding.emplace(SystemCodePage());
  return *store.searchTexts.folding;
}

void AppendText(const TextFolding& folding, std::string_view text, std::string& out) {
  folding.AppendFolded(text, out);
  out.push_back('\0');
}

std::string FoldedPerson(const TextFolding& folding, const PersonRecord& person) {
  std::string out;
  AppendText(folding, FieldText(person.description, sizeof person.description), out);
  AppendText(folding, FieldText(person.email, sizeof person.email), out);
  // The name parts stand apart, so that no word matches across the ";" between two of them.
  std::string_view names = FieldText(person.names, sizeof person.names);
  for (size_t start = 0;;) {
    size_t semicolon = names.find(';', start);
    AppendText(folding, names.substr(start, semicolon == std::string_view::npos ? semicolon : semicolon - start), out);
    if (semicolon == std::string_view::npos) break;
    start = semicolon + 1;
  }
  AppendText(folding, FieldText(person.memo, sizeof person.memo), out);
  return out;
}

std::string FoldedGroup(const TextFolding& folding, const GroupRecord& group) {
  std::string out;
  AppendText(folding, FieldText(group.name, sizeof group.name), out);
  AppendText(folding, FieldText(group.memo, sizeof group.memo), out);
  return out;
}

template <typename Table, typename Fold>
const std::string* Folded(const TextFolding& folding, const std::optional<Table>& table,
                          std::vector<std::string>& texts, uint32_t slot, bool refold, Fold fold) {
  if (!table || slot >= table->used || slot >= table->slots.size()) return nullptr;
  if (texts.size() <= slot) {
    texts.resize(table->used);
    refold = true;
  }
  if (refold || texts[slot].empty()) texts[slot] = fold(folding, (*table)[slot]);
  return &texts[slot];
}

bool HoldsWords(const TextFolding& folding, const std::string* texts, const std::vector<std::string>& words) {
  return texts && HoldsEveryWord(folding, *texts, words);
}

}  // namespace

void FoldBookTexts(AddressStore& store, const CodePage& page) {
  SearchTexts& search = store.searchTexts;
  search.folding.emplace(page);
  search.persons.assign(store.persons ? store.persons->used : 0, std::string());
  search.groups.assign(store.groups ? store.groups->used : 0, std::string());
  for (uint32_t slot = 0; slot < search.persons.size(); ++slot) RefoldPerson(store, slot);
  for (uint32_t slot = 0; slot < search.groups.size(); ++slot) RefoldGroup(store, slot);
}

void RefoldPerson(AddressStore& store, uint32_t slot) {
  Folded(Folding(store), store.persons, store.searchTexts.persons, slot, true, FoldedPerson);
}

void RefoldGroup(AddressStore& store, uint32_t slot) {
  Folded(Folding(store), store.groups, store.searchTexts.groups, slot, true, FoldedGroup);
}

bool PersonHoldsWords(AddressStore& store, uint32_t slot, const std::vector<std::string>& words) {
  if (!store.persons || slot >= store.persons->used || (*store.persons)[slot].deleted) return false;
  const TextFolding& folding = Folding(store);
  return HoldsWords(folding, Folded(folding, store.persons, store.searchTexts.persons, slot, false, FoldedPerson), words);
}

bool GroupHoldsWords(AddressStore& store, uint32_t slot, const std::vector<std::string>& words) {
  if (!store.groups || slot >= store.groups->used || (*store.groups)[slot].deleted) return false;
  const TextFolding& folding = Folding(store);
  return HoldsWords(folding, Folded(folding, store.groups, store.searchTexts.groups, slot, false, FoldedGroup), words);
}

std::vector<std::string> SearchWords(AddressStore& store, std::string_view text) {
  return FoldedWords(Folding(store), text);
}
