#include "sync/sync_state.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "store/safe_write.h"

namespace {

const char kStateHeader[] = "kalbook sync state 1";
const char kStateFile[] = "sync.state";
const char kJournalFile[] = "sync.journal";

std::string InFolder(const std::string& folder, const char* name) {
  if (folder.empty()) return name;
  char last = folder.back();
  return folder + (last == '\\' || last == '/' ? "" : "\\") + name;
}

// Where the state's bytes go: a text, the file's bytes, or only their count, so that the file's
// bytes are taken once at their size (the card texts make up most of them).
struct ByteCount {
  size_t size = 0;
  void push_back(char) { ++size; }
  ByteCount& operator+=(std::string_view text) {
    size += text.size();
    return *this;
  }
};

struct FileBytes {
  std::vector<uint8_t> bytes;
  void push_back(char c) { bytes.push_back(static_cast<uint8_t>(c)); }
  FileBytes& operator+=(std::string_view text) {
    bytes.insert(bytes.end(), text.begin(), text.end());
    return *this;
  }
};

// The state's file as its bytes are made, a megabyte at a time, so that the card texts are not
// copied into one image of the whole file first. The first failed write is kept.
class FileSink {
 public:
  explicit FileSink(OutputFile& file) : file_(file) { buffer_.reserve(kChunk); }
  void push_back(char c) {
    buffer_.push_back(c);
    if (buffer_.size() >= kChunk) Drain();
  }
  FileSink& operator+=(std::string_view text) {
    if (buffer_.size() + text.size() > kChunk) Drain();
    if (text.size() >= kChunk) Write(text);
    else buffer_.append(text);
    return *this;
  }
  IoResult Finish() {
    Drain();
    return result_;
  }

 private:
  static constexpr size_t kChunk = size_t{1} << 20;
  void Drain() {
    Write(buffer_);
    buffer_.clear();
  }
  void Write(std::string_view text) {
    if (result_.ok() && !text.empty()) result_ = file_.Write(reinterpret_cast<const uint8_t*>(text.data()), text.size());
  }
  OutputFile& file_;
  std::string buffer_;
  IoResult result_;
};

FileFailure FailureAt(FileStep step, const std::string& path, const IoResult& result) {
  FileFailure failure;
  failure.step = step;
  failure.path = path;
  failure.reason = result.reason;
  failure.outOfMemory = result.error == IoError::kOutOfMemory;
  return failure;
}

// Tabs and line ends would split a field: they are escaped, and so is the backslash.
const char* EscapeOf(char c) {
  switch (c) {
    case '\\': return "\\\\";
    case '\t': return "\\t";
    case '\n': return "\\n";
    case '\r': return "\\r";
    case '\0': return "\\0";
    default: return nullptr;
  }
}

// True when one of the eight bytes may need an escape: a backslash or a byte below 0x0E (the
// ones escaped are among them), tested a word at a time.
bool WordMayNeedEscape(const char* at) {
  constexpr uint64_t kOnes = 0x0101010101010101ULL, kHighs = 0x8080808080808080ULL;
  uint64_t word;
  std::memcpy(&word, at, sizeof word);
  uint64_t backslash = word ^ (kOnes * '\\');
  uint64_t isBackslash = (backslash - kOnes) & ~backslash & kHighs;
  uint64_t isLow = (word - kOnes * 0x0E) & ~word & kHighs;
  return (isBackslash | isLow) != 0;
}

// Escaped into one buffer that goes out whole: a card's folds (a line end every 76 bytes) would
// otherwise mean two appends each. Runs of eight bytes that need no escape are copied at once.
template <typename Out>
void AppendEscaped(Out& out, std::string_view text) {
  if (text.empty()) return;
  std::string escaped(text.size() * 2, '\0');
  char* to = &escaped[0];
  size_t i = 0;
  while (i < text.size()) {
    while (i + 8 <= text.size() && !WordMayNeedEscape(text.data() + i)) {
      std::memcpy(to, text.data() + i, 8);
      to += 8, i += 8;
    }
    if (i == text.size()) break;
    const char c = text[i++];
    if (const char* escape = EscapeOf(c)) *to++ = escape[0], *to++ = escape[1];
    else *to++ = c;
  }
  escaped.resize(static_cast<size_t>(to - escaped.data()));
  out += escaped;
}

// Runs between backslashes are taken whole.
bool Unescaped(std::string_view text, std::string& out) {
  out.clear();
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const void* found = std::memchr(text.data() + i, '\\', text.size() - i);
    size_t slash = found ? static_cast<size_t>(static_cast<const char*>(found) - text.data()) : text.size();
    out.append(text.data() + i, slash - i);
    if (slash == text.size()) break;
    if (slash + 1 == text.size()) return false;
    switch (text[slash + 1]) {
      case '\\': out.push_back('\\'); break;
      case 't': out.push_back('\t'); break;
      case 'n': out.push_back('\n'); break;
      case 'r': out.push_back('\r'); break;
      case '0': out.push_back('\0'); break;
      default: return false;
    }
    i = slash + 2;
  }
  return true;
}

std::vector<std::string_view> SplitAt(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (;;) {
    size_t end = text.find(separator, start);
    if (end == std::string_view::npos) {
      parts.push_back(text.substr(start));
      return parts;
    }
    parts.push_back(text.substr(start, end - start));
    start = end + 1;
  }
}

template <typename Out>
void AppendField(Out& line, std::string_view text) {
  line.push_back('\t');
  AppendEscaped(line, text);
}

// One entry as one line: its fields, its members, then its card.
template <typename Out>
void AppendEntry(Out& out, const char* tag, const SyncedEntry& entry) {
  out += tag;
  AppendField(out, entry.isGroup ? "g" : "p");
  AppendField(out, std::to_string(static_cast<int>(entry.form)));
  for (const std::string* field : {&entry.url, &entry.etag, &entry.uid, &entry.key, &entry.email, &entry.first,
                                   &entry.middle, &entry.last, &entry.memo})
    AppendField(out, *field);
  AppendField(out, std::to_string(entry.slot));
  AppendField(out, std::to_string(entry.runId));
  AppendField(out, std::to_string(entry.members.size()));
  for (const std::string& member : entry.members) AppendField(out, member);
  AppendField(out, entry.card.Text());
  out.push_back('\n');
}

bool ParseNumber(std::string_view text, uint64_t& value) {
  if (text.empty() || text.size() > 20) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    uint64_t next = value * 10 + static_cast<uint64_t>(c - '0');
    if (next / 10 != value) return false;
    value = next;
  }
  return true;
}

constexpr size_t kFixedFields = 15;  // kind, form, 9 texts, slot, run, member count, (card last)

bool ParseEntry(const std::vector<std::string_view>& fields, SyncedEntry& entry) {
  if (fields.size() < kFixedFields) return false;
  std::vector<std::string> texts(fields.size());
  for (size_t i = 1; i < fields.size(); ++i)
    if (!Unescaped(fields[i], texts[i])) return false;
  if (texts[1] != "p" && texts[1] != "g") return false;
  entry.isGroup = texts[1] == "g";
  uint64_t form = 0, slot = 0, run = 0, members = 0;
  if (!ParseNumber(texts[2], form) || form > 2) return false;
  entry.form = static_cast<GroupForm>(form);
  std::string* targets[] = {&entry.url, &entry.etag, &entry.uid, &entry.key, &entry.email, &entry.first,
                            &entry.middle, &entry.last, &entry.memo};
  for (size_t i = 0; i < 9; ++i) *targets[i] = std::move(texts[3 + i]);
  if (!ParseNumber(texts[12], slot) || slot > UINT32_MAX || !ParseNumber(texts[13], run) ||
      !ParseNumber(texts[14], members))
    return false;
  if (fields.size() != kFixedFields + members + 1) return false;
  entry.slot = static_cast<uint32_t>(slot);
  entry.runId = run;
  entry.members.assign(texts.begin() + kFixedFields, texts.begin() + kFixedFields + members);
  entry.card = std::move(texts.back());
  return true;
}

std::string_view WithoutLineEnd(std::string_view text) {
  if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
  return text;
}

SyncedEntry* FindByUrl(std::vector<SyncedEntry>& entries, const std::string& url) {
  for (SyncedEntry& entry : entries)
    if (!entry.url.empty() && entry.url == url) return &entry;
  return nullptr;
}

void ApplyRecord(SyncState& state, JournalRecord::Kind kind, SyncedEntry entry) {
  SyncedEntry* known = FindByUrl(state.entries, entry.url);
  if (kind == JournalRecord::Kind::kDeleted) {
    if (!known) return;
    state.removed.push_back(*known);
    state.entries.erase(state.entries.begin() + (known - state.entries.data()));
    return;
  }
  if (known) *known = std::move(entry);
  else state.entries.push_back(std::move(entry));
}

template <typename Out>
void AppendState(Out& out, const SyncState& state) {
  out += kStateHeader;
  out += "\n";
  out += "book";
  AppendField(out, state.bookUrl);
  AppendField(out, state.syncToken);
  AppendField(out, std::to_string(state.onlyOnServer));
  out += "\n";
  for (const SyncedEntry& entry : state.entries) AppendEntry(out, "entry", entry);
  for (const SyncedEntry& entry : state.removed) AppendEntry(out, "removed", entry);
  for (const std::string& key : state.restoredPersons) {
    out += "restored\tp";
    AppendField(out, key);
    out += "\n";
  }
  for (const std::string& key : state.restoredGroups) {
    out += "restored\tg";
    AppendField(out, key);
    out += "\n";
  }
  for (const PersonRename& rename : state.renamedPersons) {
    out += "renamed";
    AppendField(out, rename.from);
    AppendField(out, rename.to);
    AppendField(out, rename.url);
    out += "\n";
  }
  // The count at the end tells a whole file from one cut short.
  out += "end\t" + std::to_string(state.entries.size() + state.removed.size()) + "\n";
}

}  // namespace

std::string SyncStatePath(const std::string& dataFolder) { return InFolder(dataFolder, kStateFile); }
std::string SyncJournalPath(const std::string& dataFolder) { return InFolder(dataFolder, kJournalFile); }

std::vector<uint8_t> SyncStateBytes(const SyncState& state) {
  ByteCount count;
  AppendState(count, state);
  FileBytes out;
  out.bytes.reserve(count.size);
  AppendState(out, state);
  return std::move(out.bytes);
}

std::optional<SyncState> SyncStateFromBytes(const std::vector<uint8_t>& bytes) {
  std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (text.empty() || text.back() != '\n') return std::nullopt;
  std::vector<std::string_view> lines = SplitAt(WithoutLineEnd(text), '\n');
  if (lines.size() < 3 || lines.front() != kStateHeader) return std::nullopt;
  SyncState state;
  std::vector<std::string_view> head = SplitAt(lines[1], '\t');
  uint64_t onlyOnServer = 0;
  if (head.size() != 4 || head[0] != "book" || !Unescaped(head[1], state.bookUrl) ||
      !Unescaped(head[2], state.syncToken) || !ParseNumber(head[3], onlyOnServer) || onlyOnServer > UINT32_MAX)
    return std::nullopt;
  state.onlyOnServer = static_cast<uint32_t>(onlyOnServer);
  for (size_t i = 2; i + 1 < lines.size(); ++i) {
    std::vector<std::string_view> fields = SplitAt(lines[i], '\t');
    if (fields[0] == "entry" || fields[0] == "removed") {
      SyncedEntry entry;
      if (!ParseEntry(fields, entry)) return std::nullopt;
      (fields[0] == "entry" ? state.entries : state.removed).push_back(std::move(entry));
    } else if (fields[0] == "restored" && fields.size() == 3 && (fields[1] == "p" || fields[1] == "g")) {
      std::string key;
      if (!Unescaped(fields[2], key)) return std::nullopt;
      (fields[1] == "p" ? state.restoredPersons : state.restoredGroups).push_back(std::move(key));
    } else if (fields[0] == "renamed" && fields.size() == 4) {
      PersonRename rename;
      if (!Unescaped(fields[1], rename.from) || !Unescaped(fields[2], rename.to) || !Unescaped(fields[3], rename.url))
        return std::nullopt;
      state.renamedPersons.push_back(std::move(rename));
    } else {
      return std::nullopt;
    }
  }
  uint64_t count = 0;
  std::vector<std::string_view> end = SplitAt(lines.back(), '\t');
  if (end.size() != 2 || end[0] != "end" || !ParseNumber(end[1], count) ||
      count != state.entries.size() + state.removed.size())
    return std::nullopt;
  return state;
}

void ApplyJournal(SyncState& state, const std::vector<uint8_t>& journalBytes) {
  std::string_view text(reinterpret_cast<const char*>(journalBytes.data()), journalBytes.size());
  // A record cut by a crash has no line end: it was not flushed whole, so its answer is unknown
  // and the next sync finds the card by its URL and UID.
  size_t complete = text.rfind('\n');
  if (complete == std::string_view::npos) return;
  for (std::string_view line : SplitAt(text.substr(0, complete), '\n')) {
    std::vector<std::string_view> fields = SplitAt(line, '\t');
    if (fields.size() < 2) continue;
    JournalRecord::Kind kind;
    if (fields[0] == "sent") kind = JournalRecord::Kind::kPutSent;
    else if (fields[0] == "put") kind = JournalRecord::Kind::kPutDone;
    else if (fields[0] == "deleted") kind = JournalRecord::Kind::kDeleted;
    else continue;
    fields.erase(fields.begin());
    fields.insert(fields.begin(), std::string_view("entry"));
    SyncedEntry entry;
    if (!ParseEntry(fields, entry)) continue;
    ApplyRecord(state, kind, std::move(entry));
  }
}

bool SyncJournal::Append(const JournalRecord& record) {
  if (!file_) {
    IoResult created = files_.Create(path_, CreateMode::kReplaceAny, file_);
    if (!created.ok()) {
      file_.reset();
      return false;
    }
  }
  const char* tag = record.kind == JournalRecord::Kind::kPutSent  ? "sent"
                    : record.kind == JournalRecord::Kind::kPutDone ? "put"
                                                                   : "deleted";
  std::string line;
  AppendEntry(line, tag, record.entry);
  return file_->Write(reinterpret_cast<const uint8_t*>(line.data()), line.size()).ok() && file_->Flush().ok();
}

SyncStateLoad LoadSyncState(const std::string& dataFolder, DataFileSystem& files) {
  SyncStateLoad load;
  const std::string path = SyncStatePath(dataFolder);
  const std::string journalPath = SyncJournalPath(dataFolder);
  FileImage image = files.ReadWhole(path);
  if (image.result.ok()) {
    if (std::optional<SyncState> state = SyncStateFromBytes(image.bytes)) {
      load.state = std::move(*state);
    } else {
      load.damaged = true;
      load.damagedCopy = FreeCopyName(files, path);
      if (auto failure = KeepOriginalCopy(files, path)) load.failure = failure;
      else files.Remove(path);
    }
  } else if (image.result.error != IoError::kNotFound) {
    load.damaged = true;  // there but unreadable: left as it is, the next save replaces it
  }
  load.state.damaged = load.damaged;
  load.state.damagedCopy = load.damagedCopy;
  FileImage journal = files.ReadWhole(journalPath);
  if (journal.result.ok() && !journal.bytes.empty()) {
    ApplyJournal(load.state, journal.bytes);
    if (auto failure = SaveSyncState(dataFolder, load.state, files)) load.failure = failure;
  }
  return load;
}

// As the data files are saved: a temporary file written, flushed and put in place.
std::optional<FileFailure> SaveSyncState(const std::string& dataFolder, const SyncState& state,
                                         DataFileSystem& files) {
  const std::string path = SyncStatePath(dataFolder);
  const std::string temp = path + ".tmp";
  std::unique_ptr<OutputFile> file;
  IoResult result = files.Create(temp, CreateMode::kReplaceAny, file);
  if (!result.ok()) return FailureAt(FileStep::kCreate, temp, result);
  FileSink sink(*file);
  AppendState(sink, state);
  result = sink.Finish();
  FileStep step = FileStep::kWrite;
  if (result.ok()) {
    result = file->Flush();
    step = FileStep::kFlush;
  }
  if (result.ok()) result = file->Close();
  file.reset();
  if (!result.ok()) {
    files.Remove(temp);
    return FailureAt(step, temp, result);
  }
  result = files.Replace(temp, path);
  if (!result.ok()) {
    files.Remove(temp);
    return FailureAt(FileStep::kReplace, path, result);
  }
  files.Remove(SyncJournalPath(dataFolder));
  return std::nullopt;
}
