#include "import/file_text_encoding.h"

#include "import/charset.h"

namespace {

std::u16string Utf16Units(std::string_view bytes, bool bigEndian) {
  std::u16string units;
  units.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    unsigned char first = static_cast<unsigned char>(bytes[i]);
    unsigned char second = static_cast<unsigned char>(bytes[i + 1]);
    units.push_back(static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first));
  }
  return units;
}

bool StartsWith(std::string_view bytes, std::string_view mark) {
  return bytes.substr(0, mark.size()) == mark;
}

}  // namespace

std::string FileTextAsUtf8(std::string_view bytes) {
  if (StartsWith(bytes, "\xEF\xBB\xBF")) {
    bytes.remove_prefix(3);
    return IsValidUtf8(bytes) ? std::string(bytes) : AnsiToUtf8(bytes);
  }
  bool littleEndian = StartsWith(bytes, "\xFF\xFE");
  if (littleEndian || StartsWith(bytes, "\xFE\xFF")) {
    std::string utf8;
    utf8.reserve(bytes.size());
    AppendUtf8(utf8, Utf16Units(bytes.substr(2), !littleEndian));
    return utf8;
  }
  if (std::optional<bool> bigEndian = Utf16OrderWithoutMark(bytes)) {
    std::string utf8;
    utf8.reserve(bytes.size());
    AppendUtf8(utf8, Utf16Units(bytes, *bigEndian));
    return utf8;
  }
  return IsValidUtf8(bytes) ? std::string(bytes) : AnsiToUtf8(bytes);
}
