#include "import/vcard_lines.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "import/text_scan.h"

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsFoldBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsFoldBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsFoldBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string_view Unquoted(std::string_view text) {
  text = Trimmed(text);
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') text = text.substr(1, text.size() - 2);
  return text;
}

// The colon that starts the value: the first one after the name that is not inside a quoted
// parameter value; a stray quote does not hide it.
size_t ValueColon(std::string_view line, size_t nameEnd) {
  bool quoted = false;
  for (size_t i = nameEnd; i < line.size(); ++i) {
    if (line[i] == '"') quoted = !quoted;
    if (line[i] == ':' && !quoted) return i;
  }
  return line.find(':', nameEnd);
}

VCardHeader SplitHeader(std::string_view line) {
  VCardHeader header;
  size_t nameEnd = std::min(line.find_first_of(";:"), line.size());
  header.name = line.substr(0, nameEnd);
  size_t dot = header.name.rfind('.');
  if (dot != std::string_view::npos) header.name.remove_prefix(dot + 1);
  header.name = Trimmed(header.name);
  header.colon = ValueColon(line, nameEnd);
  size_t paramsEnd = header.colon == std::string_view::npos ? line.size() : header.colon;
  if (nameEnd < paramsEnd) header.params = line.substr(nameEnd + 1, paramsEnd - nameEnd - 1);
  return header;
}

// Calls `each` for every piece of `text` between unquoted separators.
template <typename Each>
void ForEachPiece(std::string_view text, char separator, Each each) {
  bool quoted = false;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] == '"') quoted = !quoted;
    if (i == text.size() || (text[i] == separator && !quoted)) {
      each(text.substr(start, i - start));
      start = i + 1;
    }
  }
}

uint32_t PreferenceNumber(std::string_view digits) {
  digits = Unquoted(digits);
  if (digits.empty() || digits.size() > 9 ||
      !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return 1;
  return static_cast<uint32_t>(std::strtoul(std::string(digits).c_str(), nullptr, 10));
}

void ReadParam(std::string_view param, ValueParams& out) {
  size_t equals = param.find('=');
  if (equals == std::string_view::npos) {  // vCard 2.1 bare form
    std::string_view word = Trimmed(param);
    if (SameNoCase(word, "PREF")) out.preference = std::min(out.preference, 1u);
    if (SameNoCase(word, "QUOTED-PRINTABLE")) out.quotedPrintable = true;
    return;
  }
  std::string_view key = Trimmed(param.substr(0, equals));
  std::string_view value = param.substr(equals + 1);
  if (SameNoCase(key, "ENCODING")) {
    if (SameNoCase(Unquoted(value), "QUOTED-PRINTABLE")) out.quotedPrintable = true;
  } else if (SameNoCase(key, "CHARSET")) {
    out.charset.assign(Unquoted(value));
  } else if (SameNoCase(key, "PREF")) {
    out.preference = std::min(out.preference, PreferenceNumber(value));
  } else if (SameNoCase(key, "TYPE")) {
    ForEachPiece(Unquoted(value), ',', [&](std::string_view type) {
      if (SameNoCase(Unquoted(type), "PREF")) out.preference = std::min(out.preference, 1u);
    });
  }
}

}  // namespace


ValueParams ParseParams(std::string_view params) {
  ValueParams out;
  if (!params.empty()) ForEachPiece(params, ';', [&](std::string_view p) { ReadParam(p, out); });
  return out;
}

VCardLines::VCardLines(std::string_view text) : text_(text) {}

bool VCardLines::NextPhysical(std::string_view& line) {
  if (pos_ >= text_.size()) return false;
  // The next line feed is searched once and remembered, so a text without any (CR line ends)
  // is not searched to its end for every line.
  if (nextLineFeed_ < pos_ || nextLineFeed_ == kNotSearched) {
    nextLineFeed_ = text_.find('\n', pos_);
    if (nextLineFeed_ == std::string_view::npos) nextLineFeed_ = text_.size();
  }
  size_t end = nextLineFeed_;
  const void* cr = std::memchr(text_.data() + pos_, '\r', end - pos_);
  if (cr) end = static_cast<size_t>(static_cast<const char*>(cr) - text_.data());
  line = text_.substr(pos_, end - pos_);
  pos_ = end;
  // CR LF, LF, CR and CR CR LF each end one line.
  if (text_.compare(pos_, 3, "\r\r\n") == 0) pos_ += 3;
  else if (text_.compare(pos_, 2, "\r\n") == 0) pos_ += 2;
  else if (pos_ < text_.size()) ++pos_;
  // Files joined together bring their byte-order marks along.
  if (line.substr(0, kByteOrderMark.size()) == kByteOrderMark) line.remove_prefix(kByteOrderMark.size());
  return true;
}

// The next physical line when it continues the current one: after a soft line break, whatever
// it starts with (an empty line then ends the value); otherwise a line that starts with a blank or
// a tab, empty lines passed over. Else nothing is read.
bool VCardLines::ContinuationFollows(bool softBreak, std::string_view& next) {
  size_t rewind = pos_, rewindLineFeed = nextLineFeed_;
  while (NextPhysical(next)) {
    if (next.empty()) {
      if (softBreak) break;
      continue;
    }
    if (softBreak || IsFoldBlank(next.front())) return true;
    break;
  }
  pos_ = rewind;
  nextLineFeed_ = rewindLineFeed;
  return false;
}

bool VCardLines::Next(VCardLine& line, bool (*keepValue)(std::string_view name)) {
  // A line without a colon (stray text, an unindented BASE64 line) is no property.
  while (ReadLogicalLine(keepValue)) {
    if (header_.colon == std::string_view::npos) continue;
    line.name = header_.name;
    line.params = header_.params;
    line.value = keepValue(header_.name) ? whole_.substr(header_.colon + 1) : std::string_view();
    return true;
  }
  return false;
}

bool VCardLines::ReadLogicalLine(bool (*keepValue)(std::string_view name)) {
  std::string_view first;
  do {
    if (!NextPhysical(first)) return false;
  } while (first.empty() || IsFoldBlank(first.front()));

  header_ = SplitHeader(first);
  // Without a colon the fold may have split the header, so the line is joined to find it; the
  // parameters are read once the header is whole.
  bool headerWhole = header_.colon != std::string_view::npos;
  bool quotedPrintable = headerWhole && ParseParams(header_.params).quotedPrintable;
  bool keep = !headerWhole || keepValue(header_.name);
  bool joined = false;
  std::string_view last = first, next;
  for (;;) {
    bool softBreak = quotedPrintable && !last.empty() && last.back() == '=';
    if (!ContinuationFollows(softBreak, next)) break;
    if (keep) {
      if (!joined) joined_.assign(first.data(), first.size());
      joined = true;
      if (softBreak) joined_.pop_back();
      std::string_view added = softBreak ? next : next.substr(1);
      joined_.append(added);
      // The header is split again only when a colon came in, so a colon-less first line
      // followed by thousands of folded lines (a PHOTO) is joined in linear time.
      if (!headerWhole && added.find(':') != std::string_view::npos) {
        header_ = SplitHeader(joined_);
        headerWhole = header_.colon != std::string_view::npos;
        quotedPrintable = headerWhole && ParseParams(header_.params).quotedPrintable;
        keep = !headerWhole || keepValue(header_.name);
      }
    }
    last = next;
  }
  whole_ = joined ? std::string_view(joined_) : first;
  // A soft line break with nothing after it (Android ends every value so) belongs to no value.
  if (quotedPrintable && !whole_.empty() && whole_.back() == '=') whole_.remove_suffix(1);
  if (joined) header_ = SplitHeader(whole_);
  return true;
}
