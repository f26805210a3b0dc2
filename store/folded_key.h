// Helpers for the store's one comparison: only A-Z fold to a-z, every other byte is itself.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

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
inline void AppendFolded(std::string& out, std::string_view text) {
  for (char c : text) out.push_back(static_cast<char>(FoldByte(static_cast<unsigned char>(c))));
}
