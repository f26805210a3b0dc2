#include "sync/card_text.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <vector>

#include "export/line_folding.h"
#include "import/text_scan.h"
#include "import/vcard_lines.h"
#include "import/vcard_values.h"

namespace {

// One logical line of a card: its bytes in the card's text, and the parts the book reads.
struct CardLine {
  std::string_view raw;  // as the server sent it: folds and line end included
  std::string name;      // the property name in capitals, without a group prefix
  std::string params;    // between the name and the value's colon (read properties only)
  std::string value;     // unfolded, still encoded (read properties only)
};

constexpr size_t kFoldOctets = 75;
const char kUrnUuid[] = "urn:uuid:";

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return out;
}

bool StartsWithNoCase(std::string_view text, std::string_view start) {
  return text.size() >= start.size() && SameNoCase(text.substr(0, start.size()), start);
}

// True when one of the eight bytes at `at` may be a CR or an LF (both are below 0x0E): a long
// PHOTO line is passed over a word at a time.
bool WordMayEndLine(const char* at) {
  constexpr uint64_t kOnes = 0x0101010101010101ULL, kHighs = 0x8080808080808080ULL;
  uint64_t word;
  std::memcpy(&word, at, sizeof word);
  return ((word - kOnes * 0x0E) & ~word & kHighs) != 0;
}

// A physical line's end: CR LF, LF or CR; the position after it.
size_t LineEndAt(std::string_view text, size_t from, size_t& next) {
  size_t end = from;
  while (end + 8 <= text.size() && !WordMayEndLine(text.data() + end)) end += 8;
  while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
  if (end == text.size()) {
    next = text.size();
    return text.size();
  }
  next = end + 1;
  if (text[end] == '\r' && next < text.size() && text[next] == '\n') ++next;
  return end;
}

bool IsQuotedPrintableHead(std::string_view line) {
  size_t colon = line.find(':');
  std::string head = Upper(line.substr(0, colon));
  return head.find("QUOTED-PRINTABLE") != std::string::npos;
}

// The card's logical lines, each with its raw bytes.
std::vector<std::string_view> RawLines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t next = 0;
    size_t end = LineEndAt(text, pos, next);
    bool quoted = IsQuotedPrintableHead(text.substr(pos, end - pos));
    // Folded continuations start with a blank or a tab; a quoted-printable value ending in "="
    // goes on on the next line.
    while (next < text.size()) {
      bool soft = quoted && end > pos && text[end - 1] == '=';
      if (!(text[next] == ' ' || text[next] == '\t') && !soft) break;
      end = LineEndAt(text, next, next);
    }
    lines.push_back(text.substr(pos, next - pos));
    pos = next;
  }
  return lines;
}

// Only the properties the book reads or rewrites are unfolded; a PHOTO keeps just its raw bytes.
bool IsRead(std::string_view name) {
  for (std::string_view read : {"BEGIN", "END", "VERSION", "FN", "N", "EMAIL", "NOTE", "CATEGORIES", "UID", "KIND",
                                "MEMBER", "X-ADDRESSBOOKSERVER-KIND", "X-ADDRESSBOOKSERVER-MEMBER"})
    if (SameNoCase(name, read)) return true;
  return false;
}

CardLine ReadLine(std::string_view raw) {
  CardLine line;
  line.raw = raw;
  VCardLines reader(line.raw);
  VCardLine parsed;
  if (reader.Next(parsed, IsRead)) {
    line.name = Upper(parsed.name);
    line.params = std::string(parsed.params);
    line.value = std::string(parsed.value);
  }
  return line;
}

std::string Decoded(const CardLine& line, bool legacy) {
  return Unescape(ValueToUtf8(line.value, ParseParams(line.params)), legacy);
}

std::string NamePart(std::string_view component, bool legacy) {
  std::string joined;
  for (std::string_view item : SplitUnescaped(component, ',')) {
    std::string text = Unescape(item, legacy);
    std::string_view trimmed = TrimBlanks(text);
    if (trimmed.empty()) continue;
    if (!joined.empty()) joined.push_back(' ');
    joined.append(trimmed);
  }
  return joined;
}

CardFields ReadFields(const std::vector<CardLine>& lines) {
  CardFields f;
  bool legacy = false;
  for (const CardLine& line : lines)
    if (line.name == "VERSION") {
      f.version = std::string(TrimBlanks(line.value));
      legacy = f.version == "2.1";
    }
  bool haveFn = false, haveN = false, haveNote = false;
  uint32_t emailPreference = ValueParams::kNotPreferred;
  for (const CardLine& line : lines) {
    const std::string& n = line.name;
    if (n == "FN" && !haveFn) {
      f.fn = Decoded(line, legacy);
      haveFn = true;
    } else if (n == "N" && !haveN) {
      std::string utf8 = ValueToUtf8(line.value, ParseParams(line.params));
      std::vector<std::string_view> parts = SplitUnescaped(utf8, ';');
      auto part = [&](size_t i) { return i < parts.size() ? NamePart(parts[i], legacy) : std::string(); };
      f.last = part(0);
      f.first = part(1);
      f.middle = part(2);
      haveN = true;
    } else if (n == "NOTE" && !haveNote) {
      f.note = Decoded(line, legacy);
      haveNote = true;
    } else if (n == "EMAIL") {
      ValueParams params = ParseParams(line.params);
      std::string email(TrimBlanks(Decoded(line, legacy)));
      if (email.empty()) continue;
      if (f.hasEmail && params.preference >= emailPreference) continue;
      f.email = email;
      f.hasEmail = true;
      emailPreference = params.preference;
    } else if (n == "CATEGORIES") {
      std::string utf8 = ValueToUtf8(line.value, ParseParams(line.params));
      for (std::string_view item : SplitUnescaped(utf8, ',')) {
        std::string name(TrimBlanks(Unescape(item, legacy)));
        if (!name.empty()) f.categories.push_back(name);
      }
    } else if (n == "UID" && f.uid.empty()) {
      f.uid = std::string(TrimBlanks(Decoded(line, legacy)));
    } else if (n == "KIND" || n == "X-ADDRESSBOOKSERVER-KIND") {
      if (SameNoCase(TrimBlanks(line.value), "group")) {
        f.isGroup = true;
        f.form = n == "KIND" ? GroupForm::kVCard4 : GroupForm::kApple;
      }
    } else if (n == "MEMBER" || n == "X-ADDRESSBOOKSERVER-MEMBER") {
      std::string member(TrimBlanks(Decoded(line, legacy)));
      if (StartsWithNoCase(member, kUrnUuid)) member.erase(0, sizeof kUrnUuid - 1);
      if (!member.empty()) f.memberUids.push_back(member);
    }
  }
  return f;
}

}  // namespace

std::string MemberUidOf(std::string_view uid) {
  uid = TrimBlanks(uid);
  if (StartsWithNoCase(uid, kUrnUuid)) uid.remove_prefix(sizeof kUrnUuid - 1);
  return std::string(uid);
}

namespace {

// The card's lines; none when the text is not one card.
std::optional<std::vector<CardLine>> SplitCard(std::string_view text) {
  std::vector<CardLine> lines;
  bool begun = false, ended = false;
  for (std::string_view raw : RawLines(text)) {
    CardLine line = ReadLine(raw);
    bool mark = SameNoCase(TrimBlanks(line.value), "VCARD");
    if (line.name == "BEGIN" && mark) {
      if (begun) return std::nullopt;  // a second card, or one nested: not one card
      begun = true;
    } else if (line.name == "END" && mark && begun) {
      ended = true;
    }
    lines.push_back(std::move(line));
  }
  if (!begun || !ended) return std::nullopt;
  return lines;
}

void AppendTextEscaped(std::string& out, std::string_view utf8, bool component) {
  for (size_t i = 0; i < utf8.size(); ++i) {
    char c = utf8[i];
    if (c == '\\' || c == ',' || (component && c == ';') || (!component && c == ';')) {
      out.push_back('\\');
      out.push_back(c);
    } else if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
      out += "\\n";
    } else {
      out.push_back(c);
    }
  }
}

std::string Escaped(std::string_view utf8) {
  std::string out;
  AppendTextEscaped(out, utf8, false);
  return out;
}

std::string Folded(const std::string& line) {
  std::string out;
  AppendFoldedLine(out, line, kFoldOctets);
  return out;
}

// The group prefix and parameters of a line being rewritten, without those that said how the
// old value was encoded: the new one is plain UTF-8.
std::string HeadOf(const CardLine& line, std::string_view name) {
  std::string head(name);
  size_t dot = line.raw.find('.');
  size_t colon = line.raw.find_first_of(":;");
  if (dot != std::string::npos && dot < colon) head = std::string(line.raw.substr(0, dot + 1)) + head;
  for (std::string_view param : SplitUnescaped(line.params, ';')) {
    std::string_view p = TrimBlanks(param);
    if (p.empty() || StartsWithNoCase(p, "ENCODING") || StartsWithNoCase(p, "CHARSET") ||
        SameNoCase(p, "QUOTED-PRINTABLE") || SameNoCase(p, "BASE64") || SameNoCase(p, "8BIT"))
      continue;
    head += ";";
    head += p;
  }
  return head;
}

std::string NameValue(const std::vector<std::string>& parts, const std::string& oldValue) {
  std::vector<std::string_view> old = SplitUnescaped(oldValue, ';');
  std::string value;
  const std::string* order[] = {&parts[2], &parts[0], &parts[1]};  // family, given, additional
  for (size_t i = 0; i < 3; ++i) {
    if (i > 0) value.push_back(';');
    AppendTextEscaped(value, *order[i], true);
  }
  // Prefixes and suffixes stay as the card had them.
  for (size_t i = 3; i < 5; ++i) {
    value.push_back(';');
    if (i < old.size()) value.append(old[i]);
  }
  return value;
}

std::string CategoriesValue(const std::vector<std::string>& names) {
  std::string value;
  for (const std::string& name : names) {
    if (!value.empty()) value.push_back(',');
    AppendTextEscaped(value, name, true);
  }
  return value;
}

class Patcher {
 public:
  Patcher(const std::vector<CardLine>& lines, const CardFields& fields, const CardEdit& edit)
      : lines_(lines), fields_(fields), edit_(edit) {}

  std::string Run() {
    int emailLine = ChosenEmailLine();
    bool fnDone = false, nDone = false, noteDone = false, catDone = false, membersDone = false;
    for (size_t i = 0; i < lines_.size(); ++i) {
      const CardLine& line = lines_[i];
      const std::string& n = line.name;
      if (n == "FN" && edit_.fn && !fnDone) {
        Put(Folded(HeadOf(line, "FN") + ":" + Escaped(*edit_.fn)));
        fnDone = true;
      } else if (n == "N" && edit_.name && !nDone) {
        Put(Folded(HeadOf(line, "N") + ":" + NameValue(*edit_.name, line.value)));
        nDone = true;
      } else if (n == "NOTE" && edit_.note && !noteDone) {
        if (!edit_.note->empty()) Put(Folded(HeadOf(line, "NOTE") + ":" + Escaped(*edit_.note)));
        noteDone = true;
      } else if (n == "EMAIL" && edit_.email && static_cast<int>(i) == emailLine) {
        if (!edit_.email->empty()) Put(Folded(HeadOf(line, "EMAIL") + ":" + Escaped(*edit_.email)));
      } else if (n == "CATEGORIES" && edit_.categories) {
        if (!catDone && !edit_.categories->empty())
          Put(Folded(HeadOf(line, "CATEGORIES") + ":" + CategoriesValue(*edit_.categories)));
        catDone = true;
      } else if ((n == "MEMBER" || n == "X-ADDRESSBOOKSERVER-MEMBER") && edit_.memberUids) {
        if (!membersDone) PutMembers(n);
        membersDone = true;
      } else if (n == "END" && SameNoCase(TrimBlanks(line.value), "VCARD") && !ended_) {
        if (edit_.fn && !fnDone && !edit_.fn->empty()) Put(Folded("FN:" + Escaped(*edit_.fn)));
        if (edit_.name && !nDone) Put(Folded("N:" + NameValue(*edit_.name, "")));
        if (edit_.email && emailLine < 0 && !edit_.email->empty())
          Put(Folded(std::string(IsVCard4() ? "EMAIL" : "EMAIL;TYPE=INTERNET") + ":" + Escaped(*edit_.email)));
        if (edit_.note && !noteDone && !edit_.note->empty()) Put(Folded("NOTE:" + Escaped(*edit_.note)));
        if (edit_.categories && !catDone && !edit_.categories->empty())
          Put(Folded("CATEGORIES:" + CategoriesValue(*edit_.categories)));
        if (edit_.memberUids && !membersDone)
          PutMembers(fields_.form == GroupForm::kApple ? "X-ADDRESSBOOKSERVER-MEMBER" : "MEMBER");
        if (changed_ && !edit_.revTime.empty() && revLine_ != std::string::npos) RewriteRev();
        ended_ = true;
        Keep(line);
      } else {
        bool firstRev = n == "REV" && revLine_ == std::string::npos;
        if (firstRev) revLine_ = out_.size();
        Keep(line);
        if (firstRev) revLength_ = out_.size() - revLine_;
      }
    }
    return out_;
  }

 private:
  bool IsVCard4() const { return fields_.version == "4.0"; }

  int ChosenEmailLine() const {
    int chosen = -1;
    uint32_t best = ValueParams::kNotPreferred;
    for (size_t i = 0; i < lines_.size(); ++i) {
      const CardLine& line = lines_[i];
      if (line.name != "EMAIL" || TrimBlanks(line.value).empty()) continue;
      uint32_t preference = ParseParams(line.params).preference;
      if (chosen >= 0 && preference >= best) continue;
      chosen = static_cast<int>(i);
      best = preference;
    }
    return chosen;
  }

  void PutMembers(const std::string& name) {
    for (const std::string& uid : *edit_.memberUids) Put(Folded(name + ":" + kUrnUuid + uid));
  }

  void Put(const std::string& text) {
    out_ += text;
    changed_ = true;
  }
  // A kept line goes out as it came, but with CRLF line ends: a card read from a REPORT comes
  // through XML, which makes every CRLF a bare LF, and the lines written anew end in CRLF.
  void Keep(const CardLine& line) {
    std::string_view raw = line.raw;
    for (size_t i = 0; i < raw.size(); ++i) {
      if (raw[i] == '\n' && (i == 0 || raw[i - 1] != '\r')) out_ += '\r';
      out_ += raw[i];
    }
    // A last line without its line end gets one, so that what follows starts a line of its own.
    if (!raw.empty() && raw.back() != '\n' && raw.back() != '\r') out_ += "\r\n";
  }

  void RewriteRev() { out_.replace(revLine_, revLength_, "REV:" + edit_.revTime + "\r\n"); }

  const std::vector<CardLine>& lines_;
  const CardFields& fields_;
  const CardEdit& edit_;
  std::string out_;
  bool changed_ = false;
  bool ended_ = false;
  size_t revLine_ = std::string::npos;
  size_t revLength_ = 0;
};

}  // namespace

// ---- the kept text ----

namespace {

constexpr size_t kPackFrom = 1024;  // base64 characters: shorter values are kept as text

const char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

struct Base64Digits {
  int8_t of[256];
  Base64Digits() {
    for (int8_t& digit : of) digit = -1;
    for (int i = 0; i < 64; ++i) of[static_cast<unsigned char>(kBase64[i])] = static_cast<int8_t>(i);
  }
};

const int8_t* Base64Table() {
  static const Base64Digits digits;
  return digits.of;
}

// A text whose longest value is base64 folded at even steps: the text before it, its bytes,
// its folds and the text after it. Whole groups of four characters only, so that encoding the
// bytes again gives the same characters.
struct PackedText {
  std::string prefix, bytes, fold, suffix;
  size_t firstFold = 0, foldEvery = 0, folds = 0;  // folds come before these stream positions
};

// The bytes as base64 digits, then the digits put between the folds.
std::string Unpacked(const PackedText& p, const std::string& bytes) {
  const size_t digits = bytes.size() / 3 * 4;
  std::string stream(digits, '\0');
  const unsigned char* in = reinterpret_cast<const unsigned char*>(bytes.data());
  for (size_t i = 0, o = 0; o < digits; i += 3, o += 4) {
    unsigned group = (unsigned{in[i]} << 16) | (unsigned{in[i + 1]} << 8) | in[i + 2];
    stream[o] = kBase64[(group >> 18) & 63];
    stream[o + 1] = kBase64[(group >> 12) & 63];
    stream[o + 2] = kBase64[(group >> 6) & 63];
    stream[o + 3] = kBase64[group & 63];
  }
  std::string out;
  out.reserve(p.prefix.size() + digits + p.folds * p.fold.size() + p.suffix.size());
  out += p.prefix;
  size_t from = 0;
  for (size_t k = 0; k < p.folds; ++k) {
    size_t at = p.firstFold + k * p.foldEvery;
    out.append(stream, from, at - from);
    out += p.fold;
    from = at;
  }
  out.append(stream, from, std::string::npos);
  out += p.suffix;
  return out;
}

// The fold (a line end and a blank or tab) at `at`, else an empty view.
std::string_view FoldAt(std::string_view text, size_t at) {
  size_t end = at;
  if (end < text.size() && text[end] == '\r') ++end;
  if (end < text.size() && text[end] == '\n') ++end;
  if (end == at || end >= text.size() || (text[end] != ' ' && text[end] != '\t')) return {};
  return text.substr(at, end + 1 - at);
}

std::optional<PackedText> Packed(std::string_view text) {
  if (text.size() < kPackFrom) return std::nullopt;
  std::string_view longest;
  for (std::string_view line : RawLines(text))
    if (line.size() > longest.size()) longest = line;
  size_t colon = longest.find(':');
  if (longest.size() < kPackFrom || colon == std::string_view::npos) return std::nullopt;
  const size_t start = static_cast<size_t>(longest.data() - text.data()) + colon + 1;
  PackedText p;
  std::vector<size_t> foldsAt;
  size_t at = start, digits = 0;
  unsigned group = 0;
  p.bytes.resize((text.size() - start) / 4 * 3 + 3);
  char* out = &p.bytes[0];
  const unsigned char* in = reinterpret_cast<const unsigned char*>(text.data());
  const int8_t* of = Base64Table();
  while (at < text.size()) {
    // Four digits at a time where a group starts; one at a time around a fold.
    if (digits % 4 == 0 && at + 4 <= text.size()) {
      int a = of[in[at]], b = of[in[at + 1]], c = of[in[at + 2]], d = of[in[at + 3]];
      if ((a | b | c | d) >= 0) {
        unsigned whole = (unsigned(a) << 18) | (unsigned(b) << 12) | (unsigned(c) << 6) | unsigned(d);
        *out++ = static_cast<char>(whole >> 16);
        *out++ = static_cast<char>(whole >> 8);
        *out++ = static_cast<char>(whole);
        at += 4, digits += 4;
        continue;
      }
    }
    int digit = of[in[at]];
    if (digit >= 0) {
      group = (group << 6) | static_cast<unsigned>(digit);
      ++at;
      if (++digits % 4 == 0) {
        *out++ = static_cast<char>(group >> 16);
        *out++ = static_cast<char>(group >> 8);
        *out++ = static_cast<char>(group);
        group = 0;
      }
      continue;
    }
    std::string_view fold = FoldAt(text, at);
    if (fold.empty() || digits == 0 || (!p.fold.empty() && fold != p.fold)) break;
    p.fold = std::string(fold);
    foldsAt.push_back(digits);
    at += fold.size();
  }
  const size_t kept = digits / 4 * 4;
  if (kept < kPackFrom) return std::nullopt;
  while (!foldsAt.empty() && foldsAt.back() >= kept) foldsAt.pop_back();  // they stay in the suffix
  p.folds = foldsAt.size();
  if (p.folds > 0) p.firstFold = foldsAt[0];
  if (p.folds > 1) p.foldEvery = foldsAt[1] - foldsAt[0];
  for (size_t k = 0; k < p.folds; ++k)
    if (foldsAt[k] != p.firstFold + k * p.foldEvery) return std::nullopt;
  if (p.folds == 0) p.fold.clear();
  p.prefix = std::string(text.substr(0, start));
  p.bytes.resize(kept / 4 * 3);
  p.bytes.shrink_to_fit();
  p.suffix = std::string(text.substr(start + kept + p.folds * p.fold.size()));
  if (Unpacked(p, p.bytes) != text) return std::nullopt;  // kept as text unless it comes back exactly
  return p;
}

// Long card texts (photos) wait in one temporary file of the process rather than in memory:
// 5,000 cards with a 20 KB photo each would otherwise hold 100 MB for as long as the program
// runs. They are written once and read back only when a card's whole text is asked for (a save
// of the state, a patch). Where no such file can be made, they stay in memory.
class TextsOnDisk {
 public:
  static TextsOnDisk& OfProcess() {
    static TextsOnDisk kept;
    return kept;
  }
  TextsOnDisk(const TextsOnDisk&) = delete;
  TextsOnDisk& operator=(const TextsOnDisk&) = delete;

  // Where the text now is in the file, or nothing when it must stay in memory. The space of a
  // text no longer kept is not reused: the file goes with the program.
  std::optional<uint64_t> Put(const std::string& text) {
    Lock lock(busy_);
    // Flushed at once: a full disk must show here, where the text can still stay in memory,
    // not later when the text is asked for and nothing else holds it.
    if (!file_ || !SeekTo(end_) || std::fwrite(text.data(), 1, text.size(), file_) != text.size() ||
        std::fflush(file_) != 0) {
      return {};
    }
    uint64_t at = end_;
    end_ += text.size();
    return at;
  }
  bool Get(uint64_t at, size_t size, std::string& text) {
    Lock lock(busy_);
    text.resize(size);
    return file_ && SeekTo(at) && std::fread(&text[0], 1, size, file_) == size;
  }

 private:
  // Two threads read and write texts (the network thread's round, the main thread's save).
  struct Lock {
    explicit Lock(std::atomic_flag& flag) : flag_(flag) {
      while (flag_.test_and_set(std::memory_order_acquire)) {
      }
    }
    ~Lock() { flag_.clear(std::memory_order_release); }
    std::atomic_flag& flag_;
  };

  TextsOnDisk() : file_(OpenTemporary()) {}
  ~TextsOnDisk() {
    if (file_) std::fclose(file_);
  }
  bool SeekTo(uint64_t at) {
#ifdef _WIN32
    return _fseeki64(file_, static_cast<long long>(at), SEEK_SET) == 0;
#else
    return fseeko(file_, static_cast<off_t>(at), SEEK_SET) == 0;
#endif
  }
  // A new file in the system's temporary folder that goes when it is closed, or when the
  // program ends in any way.
  static std::FILE* OpenTemporary() {
    std::error_code error;
    std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    if (error) return nullptr;
    std::random_device seed;
    for (int attempt = 0; attempt < 4; ++attempt) {
      char name[64];
      std::snprintf(name, sizeof name, "kalbook-cards-%08x%08x.tmp", static_cast<unsigned>(seed()),
                    static_cast<unsigned>(seed()));
      std::filesystem::path path = folder / name;
      if (std::filesystem::exists(path, error) || error) continue;
#ifdef _WIN32
      std::FILE* file = _wfopen(path.c_str(), L"w+bD");  // D: deleted on close, by the system
#else
      std::FILE* file = std::fopen(path.c_str(), "w+b");
      if (file) std::remove(path.c_str());  // the open file stays until it is closed
#endif
      if (file) return file;
    }
    return nullptr;
  }

  std::FILE* file_ = nullptr;
  uint64_t end_ = 0;
  std::atomic_flag busy_ = ATOMIC_FLAG_INIT;
};

}  // namespace

struct CardText::Shared {
  explicit Shared(std::string whole) {
    if (whole.size() >= kToDiskFrom && (onDisk = TextsOnDisk::OfProcess().Put(whole))) {
      size = whole.size();
    } else if (std::optional<PackedText> p = Packed(whole)) {
      packed = std::move(*p);
    } else {
      text = std::move(whole);
    }
  }
  ~Shared() { delete reading.load(); }
  std::string Whole() const {
    if (packed) return Unpacked(*packed, packed->bytes);
    if (!onDisk) return text;
    std::string back;
    // A temporary file that cannot be read back is a machine failing; nothing better remains.
    if (!TextsOnDisk::OfProcess().Get(*onDisk, size, back)) std::abort();
    return back;
  }
  // Long texts (a card with a photo) wait on disk whole, so that a save reads them back as they
  // came; in memory, where there is no disk for them, their base64 is kept as its bytes.
  static constexpr size_t kToDiskFrom = 2048;
  std::string text;                  // the whole text, unless it is on disk or packed
  std::optional<uint64_t> onDisk;    // where the text is in the temporary file
  size_t size = 0;
  std::optional<PackedText> packed;
  mutable std::atomic<const CardReading*> reading{nullptr};
};

CardText::CardText(std::string text) {
  if (!text.empty()) shared_ = std::make_shared<const Shared>(std::move(text));
}

std::string CardText::Text() const {
  if (!shared_) return {};
  return shared_->Whole();
}

const CardReading* CardText::Reading() const {
  return shared_ ? shared_->reading.load(std::memory_order_acquire) : nullptr;
}

// Two rounds never read one text at once, but should they, the first reading kept wins.
const CardReading* CardText::KeepReading(const CardReading* reading) const {
  const CardReading* none = nullptr;
  if (shared_->reading.compare_exchange_strong(none, reading, std::memory_order_acq_rel)) return reading;
  delete reading;
  return none;
}

namespace {

CardReading* ReadingOf(std::string_view text) {
  auto reading = new CardReading;
  if (std::optional<std::vector<CardLine>> lines = SplitCard(text)) {
    reading->isCard = true;
    reading->fields = ReadFields(*lines);
  }
  return reading;
}

std::optional<ParsedCard> WithReading(const CardText& text, const CardReading* reading) {
  if (!reading->isCard) return std::nullopt;
  return ParsedCard{text, reading->fields};
}

}  // namespace

std::optional<ParsedCard> ParseCard(std::string text) {
  if (text.empty()) return std::nullopt;
  // Read while the text is whole, before it may be packed.
  CardReading* reading = ReadingOf(text);
  CardText kept(std::move(text));
  return WithReading(kept, kept.KeepReading(reading));
}

std::optional<ParsedCard> ParseCard(std::string_view text) { return ParseCard(std::string(text)); }

std::optional<ParsedCard> ParseCard(const char* text) { return ParseCard(std::string(text)); }

std::optional<ParsedCard> ReadCard(const CardText& text) {
  if (text.empty()) return std::nullopt;
  const CardReading* reading = text.Reading();
  if (!reading) reading = text.KeepReading(ReadingOf(text.Text()));
  return WithReading(text, reading);
}

std::string PatchCard(const ParsedCard& card, const CardEdit& edit) {
  std::string whole = card.text.Text();
  std::optional<std::vector<CardLine>> lines = SplitCard(whole);
  if (!lines) return whole;  // no card: nothing read from it, nothing to patch
  std::string patched = Patcher(*lines, card.fields, edit).Run();
  // An edit that rewrites nothing gives the card back as it came, line ends included.
  if (patched == Patcher(*lines, card.fields, CardEdit{}).Run()) return whole;
  return patched;
}

std::string NewPersonCard(const std::string& uid, const CardEdit& edit) {
  std::string text = "BEGIN:VCARD\r\nVERSION:3.0\r\n" + Folded("UID:" + Escaped(uid));
  std::optional<ParsedCard> card = ParseCard(text + "END:VCARD\r\n");
  return PatchCard(*card, edit);
}

std::string NewGroupCard(const std::string& uid, GroupForm form, const CardEdit& edit) {
  std::string text = form == GroupForm::kApple ? "BEGIN:VCARD\r\nVERSION:3.0\r\n" : "BEGIN:VCARD\r\nVERSION:4.0\r\n";
  text += Folded("UID:" + Escaped(uid));
  text += form == GroupForm::kApple ? "X-ADDRESSBOOKSERVER-KIND:group\r\n" : "KIND:group\r\n";
  CardEdit groupEdit = edit;
  if (form == GroupForm::kApple && edit.fn) groupEdit.name = std::vector<std::string>{"", "", *edit.fn};
  std::optional<ParsedCard> card = ParseCard(text + "END:VCARD\r\n");
  card->fields.form = form;
  return PatchCard(*card, groupEdit);
}

std::string NewUuid() {
  std::random_device seed;
  std::mt19937_64 random((static_cast<uint64_t>(seed()) << 32) ^ seed());
  uint64_t high = random(), low = random();
  high = (high & 0xFFFFFFFFFFFF0FFFULL) | 0x0000000000004000ULL;  // version 4
  low = (low & 0x3FFFFFFFFFFFFFFFULL) | 0x8000000000000000ULL;    // variant 10
  char text[37];
  snprintf(text, sizeof text, "%08x-%04x-%04x-%04x-%012llx", static_cast<unsigned>(high >> 32),
           static_cast<unsigned>((high >> 16) & 0xFFFF), static_cast<unsigned>(high & 0xFFFF),
           static_cast<unsigned>(low >> 48), static_cast<unsigned long long>(low & 0xFFFFFFFFFFFFULL));
  return text;
}
