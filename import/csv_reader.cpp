// Contacts CSV: the header line says which column holds what; each further row is one person.
#include <algorithm>
#include <string>
#include <unordered_set>
#include <vector>

#include "import/csv_cells.h"
#include "import/csv_columns.h"
#include "import/file_text_encoding.h"
#include "import/foreign_readers.h"
#include "import/line_breaks.h"
#include "import/text_scan.h"

namespace {

constexpr std::string_view kValueSeparator = " ::: ";  // Google joins several values so
constexpr size_t kNoColumn = static_cast<size_t>(-1);

struct NumberedColumn {
  int number;
  size_t index;
};

struct GroupColumn {
  size_t index;
  bool splitAtSemicolon;  // Outlook's categories
};

// Where each value stands in a row; the first column of a kind counts.
struct ColumnPlaces {
  size_t firstName = kNoColumn, middleName = kNoColumn, lastName = kNoColumn;
  size_t emailAddress = kNoColumn, primaryEmail = kNoColumn;
  size_t displayName = kNoColumn, name = kNoColumn, emailDisplayName = kNoColumn;
  size_t nickname = kNoColumn, notes = kNoColumn;
  std::vector<NumberedColumn> emailValues, emailTypes;
  std::vector<GroupColumn> groups;

  bool HasEmail() const {
    return emailAddress != kNoColumn || primaryEmail != kNoColumn || !emailValues.empty();
  }
};

void Place(size_t& slot, size_t index) {
  if (slot == kNoColumn) slot = index;
}

// Of a name the header holds twice, only the first column counts.
ColumnPlaces PlacesOf(const CsvRow& header) {
  ColumnPlaces places;
  std::unordered_set<std::string> seen;
  for (size_t i = 0; i < header.size(); ++i) {
    std::string folded;
    AppendFolded(folded, header[i], CodePage{});  // header names are compared as UTF-8 or ANSI bytes
    if (!seen.insert(std::move(folded)).second) continue;
    CsvHeaderName named = ColumnOfHeader(header[i]);
    switch (named.column) {
      case CsvColumn::kFirstName: Place(places.firstName, i); break;
      case CsvColumn::kMiddleName: Place(places.middleName, i); break;
      case CsvColumn::kLastName: Place(places.lastName, i); break;
      case CsvColumn::kEmailAddress: Place(places.emailAddress, i); break;
      case CsvColumn::kPrimaryEmail: Place(places.primaryEmail, i); break;
      case CsvColumn::kEmailDisplayName: Place(places.emailDisplayName, i); break;
      case CsvColumn::kDisplayName: Place(places.displayName, i); break;
      case CsvColumn::kName: Place(places.name, i); break;
      case CsvColumn::kNickname: Place(places.nickname, i); break;
      case CsvColumn::kNotes: Place(places.notes, i); break;
      case CsvColumn::kCategories: places.groups.push_back({i, true}); break;
      case CsvColumn::kGroupMembership:
      case CsvColumn::kLabels: places.groups.push_back({i, false}); break;
      case CsvColumn::kNumberedEmailValue: places.emailValues.push_back({named.number, i}); break;
      case CsvColumn::kNumberedEmailType: places.emailTypes.push_back({named.number, i}); break;
      case CsvColumn::kUnknown: break;
    }
  }
  return places;
}

// A short row leaves its missing cells empty.
std::string_view Cell(const CsvRow& row, size_t index) {
  return index < row.size() ? std::string_view(row[index]) : std::string_view();
}

std::string_view TrimLeadingTabsAndBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  return text;
}

std::vector<std::string_view> SplitAtUntrimmed(std::string_view text, std::string_view separator) {
  std::vector<std::string_view> pieces;
  for (;;) {
    size_t at = text.find(separator);
    pieces.push_back(text.substr(0, at));
    if (at == std::string_view::npos) return pieces;
    text.remove_prefix(at + separator.size());
  }
}

std::string_view FirstValue(std::string_view cell) { return TrimBlanks(cell.substr(0, cell.find(kValueSeparator))); }

bool IsPrimaryMark(std::string_view type) { return type.substr(0, 2) == "* "; }

// A row's cells, trimmed and as they stood: Google's mark "* " on a type with no label left is
// only whole before the cell is trimmed.
struct RowCells {
  CsvRow trimmed, untrimmed;
};

// Google marks the primary address's type with "* "; without a mark the first value of
// "E-mail 1 - Value" is taken.
std::string_view GoogleEmail(const ColumnPlaces& places, const RowCells& cells) {
  const CsvRow& row = cells.trimmed;
  for (const NumberedColumn& type : places.emailTypes) {
    if (!IsPrimaryMark(TrimLeadingTabsAndBlanks(Cell(cells.untrimmed, type.index)))) continue;
    for (const NumberedColumn& value : places.emailValues)
      if (value.number == type.number) return FirstValue(Cell(row, value.index));
  }
  for (const NumberedColumn& value : places.emailValues)
    if (value.number == 1) return FirstValue(Cell(row, value.index));
  return std::string_view();
}

std::string_view EmailOf(const ColumnPlaces& places, const RowCells& cells) {
  std::string_view email = FirstValue(Cell(cells.trimmed, places.emailAddress));
  if (email.empty()) email = FirstValue(Cell(cells.trimmed, places.primaryEmail));
  if (email.empty()) email = GoogleEmail(places, cells);
  return email;
}

// Outlook's display name often reads "Ann Lee (ann@example.com)": the bracketed address goes.
std::string_view WithoutBracketedAddress(std::string_view name) {
  name = TrimBlanks(name);
  if (name.empty() || name.back() != ')') return name;
  size_t open = name.rfind('(');
  if (open == std::string_view::npos || name.find('@', open) == std::string_view::npos) return name;
  return TrimBlanks(name.substr(0, open));
}

std::string JoinedNames(const DecodedPerson& person) {
  std::string joined;
  for (const std::string* part : {&person.first, &person.middle, &person.last}) {
    if (part->empty()) continue;
    if (!joined.empty()) joined.push_back(' ');
    joined += *part;
  }
  return joined;
}

// The mark is looked for before the name is trimmed, so "* " with nothing after it names no group.
void AddGroups(DecodedPerson& person, std::string_view cell, bool splitAtSemicolon) {
  for (std::string_view value : SplitAtUntrimmed(cell, kValueSeparator)) {
    std::vector<std::string_view> names{value};
    if (splitAtSemicolon) names = SplitAtUntrimmed(value, ";");
    for (std::string_view name : names) {
      name = TrimLeadingTabsAndBlanks(name);
      if (IsPrimaryMark(name)) name.remove_prefix(2);
      name = TrimBlanks(name);
      if (!name.empty()) person.groups.emplace_back(name);
    }
  }
}

DecodedPerson PersonOf(const ColumnPlaces& places, const RowCells& cells) {
  const CsvRow& row = cells.trimmed;
  DecodedPerson person;
  person.email = std::string(EmailOf(places, cells));
  person.first = std::string(TrimBlanks(Cell(row, places.firstName)));
  person.middle = std::string(TrimBlanks(Cell(row, places.middleName)));
  person.last = std::string(TrimBlanks(Cell(row, places.lastName)));
  person.memo = BreaksAsBlanks(TrimBlanks(Cell(row, places.notes)));
  std::string_view display = TrimBlanks(Cell(row, places.displayName));
  if (display.empty()) display = TrimBlanks(Cell(row, places.name));
  if (display.empty()) display = WithoutBracketedAddress(Cell(row, places.emailDisplayName));
  person.description = std::string(display);
  if (person.description.empty()) person.description = JoinedNames(person);
  if (person.description.empty()) person.description = std::string(TrimBlanks(Cell(row, places.nickname)));
  if (person.description.empty()) person.description = person.email;
  for (const GroupColumn& column : places.groups)
    AddGroups(person, Cell(cells.untrimmed, column.index), column.splitAtSemicolon);
  return person;
}

bool IsEmptyRow(const CsvRow& row) {
  for (const std::string& cell : row)
    if (!cell.empty()) return false;
  return true;
}

}  // namespace

std::optional<ForeignBook> ReadContactsCsv(std::string_view bytes) {
  std::string text = FileTextAsUtf8(bytes);
  text.resize(std::min(text.size(), text.find('\0')));
  char delimiter = DetectCsvDelimiter(text, IsKnownHeader);
  CsvRows rows(text, delimiter);
  CsvRow row;
  if (!rows.Next(row)) return std::nullopt;
  ColumnPlaces places = PlacesOf(row);
  if (!places.HasEmail()) return std::nullopt;
  ForeignBook book;
  RowCells cells;
  while (rows.Next(cells.trimmed, &cells.untrimmed))
    if (!IsEmptyRow(cells.trimmed)) book.persons.push_back(PersonOf(places, cells));
  book.unclosedQuoteLines = rows.unclosedQuoteLines();
  return book;
}
