#include "import/vcard_values.h"

#include <optional>

#include "import/charset.h"

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// "=XY" gives the byte XY (but "=00" none); an "=" not followed by two hex digits stays as it is.
std::string DecodeQuotedPrintable(std::string_view raw) {
  std::string out;
  out.reserve(raw.size());
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '=' && i + 2 < raw.size()) {
      int high = HexDigit(raw[i + 1]);
      int low = HexDigit(raw[i + 2]);
      if (high >= 0 && low >= 0) {
        // A zero byte would end the stored text early; it carries nothing, so it is dropped.
        if (high != 0 || low != 0) out.push_back(static_cast<char>(high * 16 + low));
        i += 2;
        continue;
      }
    }
    out.push_back(raw[i]);
  }
  return out;
}

// CR LF, a lone CR and a lone LF each become one blank.
void AppendBreakAsBlank(std::string& out, std::string_view text, size_t& i) {
  if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
  out.push_back(' ');
}

}  // namespace

std::string ValueToUtf8(std::string_view raw, const ValueParams& params) {
  std::string decoded = params.quotedPrintable ? DecodeQuotedPrintable(raw) : std::string(raw);
  if (!params.charset.empty()) {
    std::optional<uint32_t> codePage = CodePageOfCharset(params.charset);
    if (codePage) {
      std::optional<std::string> utf8 = CodePageToUtf8(*codePage, decoded);
      if (utf8) return *utf8;
    }
  }
  if (IsValidUtf8(decoded)) return decoded;
  return AnsiToUtf8(decoded);
}

std::vector<std::string_view> SplitUnescaped(std::string_view text, char separator) {
  std::vector<std::string_view> pieces;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\') {
      ++i;  // the escaped character never separates
    } else if (text[i] == separator) {
      pieces.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  pieces.push_back(text.substr(start));
  return pieces;
}

std::string Unescape(std::string_view text, bool legacy) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      AppendBreakAsBlank(out, text, i);
    } else if (c != '\\' || i + 1 == text.size() || (legacy && text[i + 1] != ';')) {
      out.push_back(c);
    } else {
      char escaped = text[++i];
      if (escaped == 'n' || escaped == 'N') out.push_back(' ');
      else if (escaped == '\r' || escaped == '\n') AppendBreakAsBlank(out, text, i);
      else out.push_back(escaped);
    }
  }
  return out;
}
