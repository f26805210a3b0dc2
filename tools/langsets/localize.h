// Builds one language's resource set from the English templates and its translation table.
#pragma once

#include <string>
#include <vector>

#include "tools/langsets/english_script.h"
#include "tools/langsets/language_table.h"

struct LocalizedSet {
  std::string script;                 // the set's menus, dialogs and string tables
  std::vector<std::string> problems;  // missing or unfit translations (the English text stands in)
};

// Same resources, control ids, order and sizes as the English set, under the language's suffix
// and string offset; widened rectangles only where the table takes a widened layout.
LocalizedSet LocalizeSet(const EnglishScript& english, const LanguageTable& table, const Widenings& widenings);

// What is wrong with `translated` as the translation of `english`: other printf conversions,
// a missing or extra access key, a lost "\t" shortcut column, a changed closing line of
// punctuation only (such as a list of forbidden characters), or more than the 255 characters the
// program's text buffers keep.
std::vector<std::string> TranslationMismatches(const std::string& english, const std::string& translated);
