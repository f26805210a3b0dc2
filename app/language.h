// The language setting's choice of resource names and string-table identifiers.
#pragma once

#include <cstddef>
#include <string_view>

constexpr size_t kResourceNameSize = 32;

// The value that chooses the English set ("_EG", no string offset).
constexpr int kEnglishLanguage = 0;

// "_GR", "_FR", ... for 1 to 8; "_EG" for every other value.
std::string_view LanguageSuffix(int language);

// 200 x language for 1 to 8, else 0.
int StringTableOffset(int language);

// Base name followed by the suffix, cut to fit and zero-terminated.
void ComposeResourceName(char (&buffer)[kResourceNameSize], std::string_view baseName, int language);
