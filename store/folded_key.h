// Helpers for the store's one comparison: only A-Z fold to a-z, every other byte is itself.
// In a double-byte code page a trail byte is part of its character and never folds: "\x83\x41"
// and "\x83\x61" are two different characters.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

#include "store/code_page.h"

inline unsigned char FoldByte(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

// The text of a fixed field, stopping at its zero byte or at the end of the field.
inline std::string_view FieldText(const char* field, size_t fieldSize) {
  const void* zero = std::memchr(field, 0, fieldSize);
  size_t n = zero ? static_cast<size_t>(static_cast<const char*>(zero) - field) : fieldSize;
  return std::string_view(field, n);
}

// Appends the folded text; comparing folded texts byte-wise as unsigned gives CompareNoCase order.
inline void AppendFolded(std::string& out, std::string_view text, const CodePage& page) {
  bool trail = false;
  for (char c : text) {
    auto byte = static_cast<unsigned char>(c);
    out.push_back(static_cast<char>(trail ? byte : FoldByte(byte)));
    trail = !trail && page.IsLead(byte);
  }
}
