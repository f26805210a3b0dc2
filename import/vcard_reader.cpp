// vCard as address programs write it (2.1, 3.0 and 4.0): each card, from its BEGIN:VCARD line to
// its END:VCARD line, gives at most one person; a text without any BEGIN line is one card.
#include <new>
#include <optional>
#include <string>

#include "import/charset.h"
#include "import/import_readers.h"
#include "import/text_scan.h"
#include "import/vcard_lines.h"
#include "import/vcard_values.h"
#include "store/records.h"

namespace {

constexpr size_t kTextLimit = kTextFieldSize - 1;
constexpr size_t kEmailLimit = kEmailFieldSize - 1;

enum NamePart : size_t { kFamily = 0, kGiven = 1, kAdditional = 2 };

struct RawValue {
  std::string value;
  ValueParams params;
};

// The properties of one card that make a person, still encoded.
struct Card {
  std::optional<RawValue> formattedName, name, note, email;
  bool legacy = false;  // VERSION:2.1
};

bool IsKept(std::string_view name) {
  for (std::string_view kept : {"BEGIN", "END", "VERSION", "FN", "N", "NOTE", "EMAIL"})
    if (SameNoCase(name, kept)) return true;
  return false;
}

bool IsCardMark(const VCardLine& line, std::string_view mark) {
  return SameNoCase(line.name, mark) && SameNoCase(TrimBlanks(line.value), "VCARD");
}

void KeepFirst(std::optional<RawValue>& slot, const VCardLine& line, const ValueParams& params) {
  if (!slot) slot = RawValue{std::string(line.value), params};
}

// The preferred address wins (the lowest PREF number), else the first; of equals, the first.
void KeepBestEmail(Card& card, const VCardLine& line, const ValueParams& params) {
  if (TrimBlanks(line.value).empty()) return;
  if (!card.email || params.preference < card.email->params.preference)
    card.email = RawValue{std::string(line.value), params};
}

void TakeProperty(Card& card, const VCardLine& line) {
  if (SameNoCase(line.name, "VERSION")) {
    card.legacy = TrimBlanks(line.value) == "2.1";
    return;
  }
  ValueParams params = ParseParams(line.params);
  if (SameNoCase(line.name, "FN")) KeepFirst(card.formattedName, line, params);
  else if (SameNoCase(line.name, "N")) KeepFirst(card.name, line, params);
  else if (SameNoCase(line.name, "NOTE")) KeepFirst(card.note, line, params);
  else if (SameNoCase(line.name, "EMAIL")) KeepBestEmail(card, line, params);
}

std::string TextOf(const std::optional<RawValue>& raw, bool legacy) {
  if (!raw) return std::string();
  return ToAnsiTrimmed(Unescape(ValueToUtf8(raw->value, raw->params), legacy));
}

// A component's list items joined with one blank; a semicolon left in it becomes a comma.
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
  for (char& c : joined)
    if (c == ';') c = ',';
  return ToAnsiTrimmed(joined);
}

struct PersonTexts {
  std::string description, email, first, middle, last, memo;
};

void ReadNames(const Card& card, PersonTexts& person) {
  if (!card.name) return;
  std::string utf8 = ValueToUtf8(card.name->value, card.name->params);
  std::vector<std::string_view> parts = SplitUnescaped(utf8, ';');
  auto part = [&](NamePart which) {
    return which < parts.size() ? NameComponent(parts[which], card.legacy) : std::string();
  };
  person.first = part(kGiven);
  person.middle = part(kAdditional);
  person.last = part(kFamily);
}

std::string DescriptionFromNames(const PersonTexts& person) {
  std::string joined = person.first;
  if (!joined.empty() && !person.last.empty()) joined.push_back(' ');
  return joined + person.last;
}

// False for a card without an e-mail address: this book is for mail.
bool ToPerson(const Card& card, PersonTexts& person) {
  person.email = TextOf(card.email, card.legacy);
  if (person.email.empty()) return false;
  ReadNames(card, person);
  person.description = TextOf(card.formattedName, card.legacy);
  if (person.description.empty()) person.description = DescriptionFromNames(person);
  if (person.description.empty()) person.description = person.email;
  person.memo = TextOf(card.note, card.legacy);
  return true;
}

ImportEntry KeepInBatch(ImportBatch& batch, const PersonTexts& person) {
  ImportEntry entry;
  entry.description = batch.Keep(CutAnsi(person.description, kTextLimit));
  entry.email = batch.Keep(CutAnsi(person.email, kEmailLimit));
  entry.firstName = batch.Keep(person.first);
  entry.middleName = batch.Keep(person.middle);
  entry.lastName = batch.Keep(person.last);
  entry.memo = batch.Keep(CutAnsi(person.memo, kTextLimit));
  return entry;
}

class CardCollector {
 public:
  explicit CardCollector(ImportBatch& batch) : batch_(batch) {}

  // False when the batch could not grow: the import is abandoned.
  bool Take(const VCardLine& line) {
    if (IsCardMark(line, "BEGIN")) {
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
    if (inCard_ || !sawBegin_) TakeProperty(card_, line);  // text between cards is no card's
    return true;
  }

  // A card whose END line is missing runs to the end of the text.
  bool End() { return inCard_ || !sawBegin_ ? Finish() : true; }

 private:
  bool Finish() {
    PersonTexts person;
    if (!ToPerson(card_, person)) return true;
    // Grown only when a further card needs room, so a one-card file keeps its single slot.
    if (!batch_.GrowIfFull()) return false;
    batch_.Append(KeepInBatch(batch_, person));
    return true;
  }

  ImportBatch& batch_;
  Card card_;
  bool inCard_ = false;
  bool sawBegin_ = false;
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
  return batch;
}

}  // namespace

// Without memory for the decoded values the import is abandoned as when the batch cannot grow.
std::optional<ImportBatch> ReadVCard(std::string_view text, uint32_t batchLimit) {
  try {
    return ReadCards(UpToFirstZero(text), batchLimit);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}
