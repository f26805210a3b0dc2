#include <cstring>

#include "store/records.h"

void CopyToField(char* field, size_t fieldSize, std::string_view text) {
  if (fieldSize == 0) return;
  size_t n = text.size() < fieldSize - 1 ? text.size() : fieldSize - 1;
  if (n > 0) std::memcpy(field, text.data(), n);
  field[n] = '\0';
}

void CopyToField(char* field, size_t fieldSize, std::string_view text, const CodePage& page) {
  if (fieldSize == 0) return;
  CopyToField(field, fieldSize, text.substr(0, CutBetweenCharacters(page, text, fieldSize - 1)));
}
