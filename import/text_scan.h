// Byte searches shared by the readers: exact, case-sensitive, not stopping at line ends.
#pragma once

#include <algorithm>
#include <string_view>

#include "store/folded_key.h"

// The loaded text as the readers see it: up to its first zero byte.
inline std::string_view UpToFirstZero(std::string_view text) {
  return text.substr(0, std::min(text.size(), text.find('\0')));
}

// Position of the first occurrence of `needle` at or after `from`, or npos.
inline size_t FindFrom(std::string_view text, std::string_view needle, size_t from) {
  if (from > text.size()) return std::string_view::npos;
  return text.find(needle, from);
}

// A value running to the end of its line stops before the next carriage return; with none left
// it runs to the end of the text.
inline size_t LineEnd(std::string_view text, size_t from) {
  size_t cr = FindFrom(text, "\r", from);
  return cr == std::string_view::npos ? text.size() : cr;
}

inline std::string_view Between(std::string_view text, size_t begin, size_t end) {
  return text.substr(begin, end - begin);
}

// Equal when only the letters A-Z differ in case (property and charset names are ASCII).
inline bool SameNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return FoldByte(static_cast<unsigned char>(x)) == FoldByte(static_cast<unsigned char>(y));
         });
}

// Without leading and trailing blanks (tabs stay).
inline std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}
