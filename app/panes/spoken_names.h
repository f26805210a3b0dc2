// What a screen reader reads for a list line: the texts it shows, as one name.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/panes/entry_texts.h"

// The texts joined by ", ", each without the blank the list draws before it, empty ones left out.
std::string JoinSpokenTexts(const std::vector<std::string_view>& texts);

// An entry-list line: name, e-mail address and memo in column order; for a group the word
// `groupWord` follows its name ("Tennis club, group, Tuesdays").
std::string SpokenEntryName(const EntryTexts& texts, std::string_view groupWord);
