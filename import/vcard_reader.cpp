// vCard: each card, from its "BEGIN:VCARD" line to its "END:VCARD" line, gives at most one
// person. A file with one card (or none marked) is searched as a whole.
#include <optional>
#include <vector>

#include "import/import_readers.h"
#include "import/text_scan.h"

namespace {

constexpr std::string_view kCardBegin = "BEGIN:VCARD";
constexpr std::string_view kCardEnd = "END:VCARD";
constexpr std::string_view kNameLabel = "\r\nN:";
constexpr std::string_view kDescriptionLabel = "\r\nFN:";
constexpr std::string_view kMemoLabel = "\r\nNOTE:";
constexpr std::string_view kPreferredMailLabel = "\r\nEMAIL;PREF;INTERNET:";
constexpr std::string_view kMailLabel = "\r\nEMAIL;INTERNET:";

// The value after the first occurrence of the label, to the end of its line.
std::optional<std::string_view> FindValue(std::string_view card, std::string_view label) {
  size_t at = FindFrom(card, label, 0);
  if (at == std::string_view::npos) return std::nullopt;
  size_t begin = at + label.size();
  return Between(card, begin, LineEnd(card, begin));
}

// "last;first;middle", the middle part keeping any further semicolons.
void ReadStructuredName(std::string_view card, ImportEntry& entry) {
  std::optional<std::string_view> value = FindValue(card, kNameLabel);
  if (!value) return;
  size_t s1 = value->find(';');
  if (s1 == std::string_view::npos) {
    entry.lastName = *value;
    return;
  }
  entry.lastName = value->substr(0, s1);
  size_t s2 = value->find(';', s1 + 1);
  if (s2 == std::string_view::npos) {
    entry.firstName = value->substr(s1 + 1);
    return;
  }
  entry.firstName = Between(*value, s1 + 1, s2);
  entry.middleName = value->substr(s2 + 1);
}

// True when the card holds both a description and an e-mail.
bool ReadCard(std::string_view card, ImportEntry& entry) {
  ReadStructuredName(card, entry);
  std::optional<std::string_view> description = FindValue(card, kDescriptionLabel);
  std::optional<std::string_view> memo = FindValue(card, kMemoLabel);
  std::optional<std::string_view> email = FindValue(card, kPreferredMailLabel);
  if (!email) email = FindValue(card, kMailLabel);
  if (memo) entry.memo = *memo;
  if (!description || !email) return false;
  entry.description = *description;
  entry.email = *email;
  return true;
}

bool StartsLine(std::string_view text, size_t at) { return at == 0 || text[at - 1] == '\n'; }

// The next occurrence of `marker` that starts a line, at or after `from`.
size_t FindLineStart(std::string_view text, std::string_view marker, size_t from) {
  for (size_t at = FindFrom(text, marker, from); at != std::string_view::npos;
       at = FindFrom(text, marker, at + 1)) {
    if (StartsLine(text, at)) return at;
  }
  return std::string_view::npos;
}

// Each card runs from its begin line to the start of its end line, or to the next begin line
// (or the end of the text) when its end line is missing.
std::vector<std::string_view> SplitCards(std::string_view text) {
  std::vector<size_t> starts;
  for (size_t at = FindLineStart(text, kCardBegin, 0); at != std::string_view::npos;
       at = FindLineStart(text, kCardBegin, at + kCardBegin.size())) {
    starts.push_back(at);
  }
  if (starts.size() < 2) return {text};
  std::vector<std::string_view> cards;
  for (size_t i = 0; i < starts.size(); ++i) {
    size_t limit = i + 1 < starts.size() ? starts[i + 1] : text.size();
    size_t end = FindLineStart(text, kCardEnd, starts[i] + kCardBegin.size());
    if (end == std::string_view::npos || end > limit) end = limit;
    cards.push_back(Between(text, starts[i], end));
  }
  return cards;
}

}  // namespace

std::optional<ImportBatch> ReadVCard(std::string_view text, uint32_t batchLimit) {
  text = UpToFirstZero(text);
  std::optional<ImportBatch> batch = ImportBatch::Make(1, batchLimit);
  if (!batch) return std::nullopt;
  for (std::string_view card : SplitCards(text)) {
    ImportEntry entry;
    if (!ReadCard(card, entry)) continue;
    // Grown only when a further card needs room, so a one-card file keeps its single slot.
    if (!batch->GrowIfFull()) return std::nullopt;
    batch->Append(entry);
  }
  return batch;
}
