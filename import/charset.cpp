#include "import/charset.h"

#include <algorithm>

#include "import/text_scan.h"

namespace {

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Length of the UTF-8 sequence that starts with `lead`, 0 for a byte that cannot start one.
size_t SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

bool IsTrail(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The code point of a valid sequence of `length` bytes.
char32_t DecodeSequence(const unsigned char* p, size_t length) {
  if (length == 1) return p[0];
  char32_t c = p[0] & (0xFF >> (length + 1));
  for (size_t i = 1; i < length; ++i) c = (c << 6) | (p[i] & 0x3F);
  return c;
}

void AppendCodePoint(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}


struct CharsetName {
  const char* name;
  uint32_t codePage;
};

// ISO-8859-1 and US-ASCII are read as Windows-1252, its superset, as mail programs have long done.
constexpr CharsetName kCharsets[] = {
    {"UTF-8", 65001},        {"UTF8", 65001},          {"US-ASCII", 1252},
    {"ASCII", 1252},         {"ISO-8859-1", 1252},     {"ISO8859-1", 1252},
    {"LATIN1", 1252},        {"WINDOWS-1252", 1252},   {"CP1252", 1252},
    {"SHIFT_JIS", 932},      {"SHIFT-JIS", 932},       {"SJIS", 932},
    {"X-SJIS", 932},         {"WINDOWS-31J", 932},     {"CP932", 932},
    {"ISO-8859-2", 28592},   {"ISO-8859-5", 28595},    {"ISO-8859-7", 28597},
    {"ISO-8859-9", 28599},   {"ISO-8859-15", 28605},   {"WINDOWS-1250", 1250},
    {"WINDOWS-1251", 1251},  {"WINDOWS-1253", 1253},   {"WINDOWS-1254", 1254},
    {"WINDOWS-1257", 1257},  {"KOI8-R", 20866},        {"GB2312", 936},
    {"GBK", 936},            {"BIG5", 950},            {"EUC-KR", 949},
    {"KS_C_5601-1987", 949}, {"EUC-JP", 20932},
};

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes.data());
  size_t size = bytes.size();
  for (size_t i = 0; i < size;) {
    size_t length = SequenceLength(p[i]);
    if (length == 0 || size - i < length) return false;
    for (size_t k = 1; k < length; ++k)
      if (!IsTrail(p[i + k])) return false;
    if (length == 3 && ((p[i] == 0xE0 && p[i + 1] < 0xA0) || (p[i] == 0xED && p[i + 1] >= 0xA0)))
      return false;  // overlong, or a surrogate
    if (length == 4 && ((p[i] == 0xF0 && p[i + 1] < 0x90) || (p[i] == 0xF4 && p[i + 1] >= 0x90)))
      return false;  // overlong, or beyond U+10FFFF
    i += length;
  }
  return true;
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  const unsigned char* p = reinterpret_cast<const unsigned char*>(utf8.data());
  for (size_t i = 0; i < utf8.size();) {
    size_t length = SequenceLength(p[i]);
    if (length == 0 || utf8.size() - i < length) length = 1;  // not reached for valid input
    char32_t c = DecodeSequence(p + i, length);
    if (c >= 0x10000) {
      c -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(c));
    }
    i += length;
  }
  return out;
}

void AppendUtf8(std::string& out, std::u16string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c < 0xE000) {
      bool pair = c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000;
      c = pair ? 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00) : 0xFFFD;
    }
    AppendCodePoint(out, c);
  }
}

std::optional<std::string> CodePageToUtf8(uint32_t codePage, std::string_view bytes) {
  if (IsAscii(bytes)) return std::string(bytes);
  if (codePage == kUtf8CodePage) {
    if (!IsValidUtf8(bytes)) return std::nullopt;
    return std::string(bytes);
  }
  std::u16string wide;
  if (!DecodeCodePage(codePage, bytes, wide)) return std::nullopt;
  std::string out;
  out.reserve(wide.size() * 2);
  AppendUtf8(out, wide);
  return out;
}

std::string AnsiToUtf8(std::string_view ansi) {
  std::optional<std::string> utf8 = CodePageToUtf8(kAnsiCodePage, ansi);
  return utf8 ? *utf8 : std::string(ansi);
}

std::string Utf8ToAnsi(std::string_view utf8) { return Utf8ToAnsiChecked(utf8).text; }

AnsiText Utf8ToAnsiChecked(std::string_view utf8) {
  AnsiText out;
  if (IsAscii(utf8)) {
    out.text.assign(utf8);
    return out;
  }
  out.text = EncodeAnsi(Utf8ToUtf16(utf8), &out.unshowable);
  return out;
}

std::optional<bool> Utf16OrderWithoutMark(std::string_view bytes) {
  constexpr size_t kLookedAt = 1024;  // a first line longer than this is judged by its start
  auto firstLineHasZeroAt = [&](size_t zeroAt) {
    size_t units = 0;
    for (size_t i = 0; i + 1 < bytes.size() && i < kLookedAt; i += 2, ++units) {
      char zero = bytes[i + zeroAt], other = bytes[i + 1 - zeroAt];
      if (zero != '\0' || other == '\0') return false;
      if (other == '\r' || other == '\n') break;
    }
    return units >= 2;
  };
  if (firstLineHasZeroAt(1)) return false;
  if (firstLineHasZeroAt(0)) return true;
  return std::nullopt;
}

std::optional<std::string> Utf16TextToUtf8(std::string_view bytes) {
  bool littleEndian = bytes.substr(0, 2) == "\xFF\xFE";
  size_t start = 2;
  if (!littleEndian && bytes.substr(0, 2) != "\xFE\xFF") {
    std::optional<bool> bigEndian = Utf16OrderWithoutMark(bytes);
    if (!bigEndian) return std::nullopt;
    littleEndian = !*bigEndian;
    start = 0;
  }
  std::u16string wide;
  wide.reserve(bytes.size() / 2);
  for (size_t i = start; i + 1 < bytes.size(); i += 2) {
    unsigned char first = static_cast<unsigned char>(bytes[i]);
    unsigned char second = static_cast<unsigned char>(bytes[i + 1]);
    char16_t c = littleEndian ? static_cast<char16_t>(first | (second << 8))
                              : static_cast<char16_t>((first << 8) | second);
    if (c == 0) break;
    wide.push_back(c);
  }
  std::string utf8;
  utf8.reserve(wide.size());
  AppendUtf8(utf8, wide);
  return utf8;
}

std::optional<uint32_t> CodePageOfCharset(std::string_view name) {
  for (const CharsetName& charset : kCharsets)
    if (SameNoCase(name, charset.name)) return charset.codePage;
  return std::nullopt;
}

std::string_view CutAnsi(std::string_view text, size_t maxBytes, const CodePage& page) {
  return text.substr(0, CutBetweenCharacters(page, text, maxBytes));
}
