#include "dialogs/name_parts.h"

#include <cstring>

#include "store/records.h"

namespace {

constexpr size_t kSeparators = 2;

// The stored text up to its zero, never past the end of the field.
std::string_view FieldText(const char* field, size_t fieldSize) {
  if (!field || fieldSize == 0) return {};
  const void* zero = std::memchr(field, '\0', fieldSize);
  size_t length = zero ? static_cast<size_t>(static_cast<const char*>(zero) - field) : fieldSize;
  return {field, length};
}

}  // namespace

NameParts SplitNames(const char* field, size_t fieldSize) {
  std::string_view text = FieldText(field, fieldSize);
  NameParts parts;
  size_t firstEnd = text.find(';');
  parts.first = std::string(text.substr(0, firstEnd));
  if (firstEnd == std::string_view::npos) return parts;
  std::string_view rest = text.substr(firstEnd + 1);
  size_t middleEnd = rest.find(';');
  parts.middle = std::string(rest.substr(0, middleEnd));
  if (middleEnd == std::string_view::npos) return parts;
  parts.last = std::string(rest.substr(middleEnd + 1));
  return parts;
}

bool JoinNames(const NameParts& parts, char* field, size_t fieldSize, const CodePage& page) {
  std::string joined = parts.first + ';' + parts.middle + ';' + parts.last;
  CopyToField(field, fieldSize, joined, page);
  return fieldSize > 0 && joined.size() < fieldSize;
}

size_t NamePartRoom(size_t fieldSize, size_t otherLength1, size_t otherLength2) {
  size_t taken = kSeparators + 1 + otherLength1 + otherLength2;  // + 1 for the terminating zero
  return taken < fieldSize ? fieldSize - taken : 0;
}
