// vCard as address programs write it (2.1, 3.0 and 4.0): each card, from its BEGIN:VCARD line to
// its END:VCARD line, gives at most one person; a text without any BEGIN line holds no card.
#include <new>
#include <optional>
#include <string>

#include "import/charset.h"
#include "import/decoded_person.h"
#include "import/import_readers.h"
#include "import/text_scan.h"
#include "import/vcard_lines.h"
#include "import/vcard_values.h"

namespace {

enum NamePart : size_t { kFamily = 0, kGiven = 1, kAdditional = 2 };

// A value already decoded to UTF-8, its escapes still in place.
struct RawValue {
  std::string utf8;
  ValueParams params;
};

// The properties of one card that make a person.
struct Card {
  std::optional<RawValue> formattedName, name, note, email;
  std::vector<std::string> categories;
  bool legacy = false;  // VERSION:2.1
};

bool IsKept(std::string_view name) {
  for (std::string_view kept :
       {"BEGIN", "END", "VERSION", "FN", "N", "NOTE", "EMAIL", "CATEGORIES", "AGENT"})
    if (SameNoCase(name, kept)) return true;
  return false;
}

bool IsCardMark(const VCardLine& line, std::string_view mark) {
  return SameNoCase(line.name, mark) && SameNoCase(TrimBlanks(line.value), "VCARD");
}

// True when nothing but blanks, line breaks ("\n" escaped or not) and `separators` is left: such a
// value counts as absent.
bool IsBlankValue(std::string_view utf8, std::string_view separators) {
  for (size_t i = 0; i < utf8.size(); ++i) {
    char c = utf8[i];
    if (c == '\\' && i + 1 < utf8.size()) {
      c = utf8[++i];
      if (c == 'n' || c == 'N') continue;
    }
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n' && separators.find(c) == std::string_view::npos)
      return false;
  }
  return true;
}

std::optional<RawValue> Decoded(const VCardLine& line, const ValueParams& params, std::string_view separators) {
  std::string utf8 = ValueToUtf8(line.value, params);
  if (IsBlankValue(utf8, separators)) return std::nullopt;
  return RawValue{std::move(utf8), params};
}

void KeepFirst(std::optional<RawValue>& slot, const VCardLine& line, const ValueParams& params,
               std::string_view separators = "") {
  if (!slot) slot = Decoded(line, params, separators);
}

// The preferred address wins (the lowest PREF number), else the first; of equals, the first.
void KeepBestEmail(Card& card, const VCardLine& line, const ValueParams& params) {
  if (card.email && params.preference >= card.email->params.preference) return;
  if (std::optional<RawValue> email = Decoded(line, params, "")) card.email = std::move(email);
}

void KeepCategories(Card& card, const VCardLine& line, const ValueParams& params) {
  if (std::optional<RawValue> listed = Decoded(line, params, ",;")) card.categories.push_back(std::move(listed->utf8));
}

void TakeProperty(Card& card, const VCardLine& line) {
  if (SameNoCase(line.name, "VERSION")) {
    card.legacy = TrimBlanks(line.value) == "2.1";
    return;
  }
  ValueParams params = ParseParams(line.params);
  if (SameNoCase(line.name, "FN")) KeepFirst(card.formattedName, line, params);
  else if (SameNoCase(line.name, "N")) KeepFirst(card.name, line, params, ";,");
  else if (SameNoCase(line.name, "NOTE")) KeepFirst(card.note, line, params);
  else if (SameNoCase(line.name, "EMAIL")) KeepBestEmail(card, line, params);
  else if (SameNoCase(line.name, "CATEGORIES")) KeepCategories(card, line, params);
}

std::string TextOf(const std::optional<RawValue>& raw, bool legacy) {
  if (!raw) return std::string();
  return Unescape(raw->utf8, legacy);
}

// A component's list items joined with one blank.
std::string NameComponent(std::string_view component, bool legacy) {
  std::string joined;
  std::vector<std::string_view> items;
  if (legacy) items.push_back(component);
  else items = SplitUnescaped(component, ',');
  for (std::string_view item : items) {
    std::string text = Unescape(item, legacy);
    std::string_view trimmed = TrimBlanks(text);
    if (trimmed.empty()) continue;
    if (!joined.empty()) joined.push_back(' ');
    joined.append(trimmed);
  }
  return joined;
}

void ReadNames(const Card& card, DecodedPerson& person) {
  if (!card.name) return;
  std::vector<std::string_view> parts = SplitUnescaped(card.name->utf8, ';');
  auto part = [&](NamePart which) {
    return which < parts.size() ? NameComponent(parts[which], card.legacy) : std::string();
  };
  person.first = part(kGiven);
  person.middle = part(kAdditional);
  person.last = part(kFamily);
}

// Group names split at unescaped commas (vCard 2.1 also at semicolons), then unescaped.
void ReadCategories(const Card& card, DecodedPerson& person) {
  for (const std::string& value : card.categories) {
    for (std::string_view listed : SplitUnescaped(value, ',')) {
      std::vector<std::string_view> names{listed};
      if (card.legacy) names = SplitUnescaped(listed, ';');
      for (std::string_view name : names) person.groups.push_back(std::string(TrimBlanks(Unescape(name, card.legacy))));
    }
  }
}

DecodedPerson ToPerson(const Card& card) {
  DecodedPerson person;
  person.email = TextOf(card.email, card.legacy);
  ReadNames(card, person);
  person.description = TextOf(card.formattedName, card.legacy);
  person.memo = TextOf(card.note, card.legacy);
  ReadCategories(card, person);
  return person;
}

class CardCollector {
 public:
  explicit CardCollector(ImportBatch& batch) : batch_(batch) {}

  // False when the batch could not grow: the import is abandoned.
  bool Take(const VCardLine& line) {
    if (nested_ > 0) {
      SkipNested(line);
      return true;
    }
    bool agentBefore = agentPending_;
    agentPending_ = false;
    if (IsCardMark(line, "BEGIN")) {
      if (agentBefore) {  // a vCard 2.1 AGENT: another person's card inside this one
        nested_ = 1;
        return true;
      }
      bool kept = !inCard_ || Finish();
      card_ = Card();
      inCard_ = sawBegin_ = true;
      return kept;
    }
    if (IsCardMark(line, "END")) {
      if (!inCard_) return true;
      inCard_ = false;
      return Finish();
    }
    if (SameNoCase(line.name, "AGENT")) {
      std::string_view value = TrimBlanks(line.value);
      if (value.empty()) agentPending_ = inCard_;
      else if (SameNoCase(value, "BEGIN:VCARD")) nested_ = inCard_ ? 1 : 0;
      return true;
    }
    if (inCard_) TakeProperty(card_, line);  // text between cards is no card's
    return true;
  }

  // A card whose END line is missing runs to the end of the text.
  bool End() { return inCard_ ? Finish() : true; }

  // False when no BEGIN:VCARD line was met: the text holds no card.
  bool sawCard() const { return sawBegin_; }

 private:
  void SkipNested(const VCardLine& line) {
    if (IsCardMark(line, "BEGIN")) ++nested_;
    else if (IsCardMark(line, "END")) --nested_;
  }

  bool Finish() { return AppendDecodedPerson(batch_, ToPerson(card_)); }

  ImportBatch& batch_;
  Card card_;
  bool inCard_ = false;
  bool sawBegin_ = false;
  bool agentPending_ = false;
  int nested_ = 0;  // depth inside cards of AGENT properties
};

std::optional<ImportBatch> ReadCards(std::string_view text, uint32_t batchLimit) {
  std::optional<ImportBatch> batch = ImportBatch::Make(1, batchLimit);
  if (!batch) return std::nullopt;
  CardCollector cards(*batch);
  VCardLines lines(text);
  VCardLine line;
  while (lines.Next(line, IsKept))
    if (!cards.Take(line)) return std::nullopt;
  if (!cards.End()) return std::nullopt;
  if (!cards.sawCard()) batch->NoteNoRecord();
  return batch;
}

}  // namespace

// Without memory for the decoded values the import is abandoned as when the batch cannot grow.
std::optional<ImportBatch> ReadVCard(std::string_view text, uint32_t batchLimit) {
  try {
    // UTF-16 (with a byte-order mark or without) is read before the first zero byte is looked
    // for: it holds zero bytes throughout.
    if (std::optional<std::string> utf8 = Utf16TextToUtf8(text)) return ReadCards(UpToFirstZero(*utf8), batchLimit);
    return ReadCards(UpToFirstZero(text), batchLimit);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}
