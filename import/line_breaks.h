// A memo line of the book holds no line breaks of its own from an import.
#pragma once

#include <string>
#include <string_view>

// Each CR LF, lone CR and lone LF becomes one blank.
inline std::string BreaksAsBlanks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    out.push_back(c == '\r' || c == '\n' ? ' ' : c);
  }
  return out;
}
