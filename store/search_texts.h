// Every entry's texts kept folded, so that narrowing the book by a search text folds only the
// search text: one string per slot with the entry's texts, each ended by a zero byte.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/text_fold.h"

struct AddressStore;

struct SearchTexts {
  std::optional<TextFolding> folding;  // the book's code page; the system's until one is set
  std::vector<std::string> persons;    // by slot: description, e-mail, three name parts, memo
  std::vector<std::string> groups;     // by slot: name, memo
};

// Folds every entry's texts anew in this code page (after a load, or a book read again).
void FoldBookTexts(AddressStore& store, const CodePage& page);

// An entry's record changed (edit, import, merge, undo, sync): its folded texts follow. Slots
// beyond the folded ones are folded when a search first needs them.
void RefoldPerson(AddressStore& store, uint32_t slot);
void RefoldGroup(AddressStore& store, uint32_t slot);

// True when the live entry holds every folded word (see FoldedWords) in one of its texts.
bool PersonHoldsWords(AddressStore& store, uint32_t slot, const std::vector<std::string>& words);
bool GroupHoldsWords(AddressStore& store, uint32_t slot, const std::vector<std::string>& words);

// The search text's folded words, in the book's folding.
std::vector<std::string> SearchWords(AddressStore& store, std::string_view text);
