#include "import/csv_columns.h"

#include <string>
#include <unordered_map>

namespace {

struct LanguageTable {
  const char* language;
  const char* text;  // the table file as it stands
};

// Generated at build time from resources/lang/csv_columns/*.columns.
constexpr LanguageTable kLanguageTables[] = {
#include "import/csv_column_tables.inc"
};

struct NamedColumn {
  const char* name;
  CsvColumn column;
};

// The names Google writes, which do not follow the user's language (Nickname and Notes are
// Thunderbird's English ones too).
constexpr NamedColumn kExporterColumns[] = {
    {"Name", CsvColumn::kName},
    {"Given Name", CsvColumn::kFirstName},
    {"Additional Name", CsvColumn::kMiddleName},
    {"Family Name", CsvColumn::kLastName},
    {"First Name", CsvColumn::kFirstName},
    {"Middle Name", CsvColumn::kMiddleName},
    {"Last Name", CsvColumn::kLastName},
    {"Nickname", CsvColumn::kNickname},
    {"Notes", CsvColumn::kNotes},
    {"Group Membership", CsvColumn::kGroupMembership},
    {"Labels", CsvColumn::kLabels},
};

constexpr NamedColumn kTableRoles[] = {
    {"first-name", CsvColumn::kFirstName},
    {"middle-name", CsvColumn::kMiddleName},
    {"last-name", CsvColumn::kLastName},
    {"email-address", CsvColumn::kEmailAddress},
    {"email-display-name", CsvColumn::kEmailDisplayName},
    {"notes", CsvColumn::kNotes},
    {"categories", CsvColumn::kCategories},
    {"display-name", CsvColumn::kDisplayName},
    {"nickname", CsvColumn::kNickname},
    {"primary-email", CsvColumn::kPrimaryEmail},
};

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
    text.remove_suffix(1);
  return text;
}

// Letter case folded for ASCII and for the accented capitals of Latin-1 in UTF-8 ("É" is C3 89).
std::string FoldHeader(std::string_view text) {
  std::string folded(Trim(text));
  for (size_t i = 0; i < folded.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(folded[i]);
    if (c >= 'A' && c <= 'Z') {
      folded[i] = static_cast<char>(c + 32);
    } else if (c == 0xC3 && i + 1 < folded.size()) {
      unsigned char next = static_cast<unsigned char>(folded[i + 1]);
      if (next >= 0x80 && next <= 0x9E && next != 0x97) folded[i + 1] = static_cast<char>(next + 0x20);
      ++i;
    }
  }
  return folded;
}

CsvColumn RoleOf(std::string_view role) {
  for (const NamedColumn& named : kTableRoles)
    if (role == named.name) return named.column;
  return CsvColumn::kUnknown;
}

void AddTable(std::unordered_map<std::string, CsvColumn>& names, std::string_view text) {
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = Trim(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    size_t equals = line.find('=');
    if (line.empty() || line.front() == '#' || equals == std::string_view::npos) continue;
    CsvColumn column = RoleOf(Trim(line.substr(0, equals)));
    std::string name = FoldHeader(line.substr(equals + 1));
    if (column != CsvColumn::kUnknown && !name.empty()) names.emplace(name, column);
  }
}

const std::unordered_map<std::string, CsvColumn>& KnownNames() {
  static const std::unordered_map<std::string, CsvColumn> names = [] {
    std::unordered_map<std::string, CsvColumn> all;
    for (const NamedColumn& named : kExporterColumns) all.emplace(FoldHeader(named.name), named.column);
    for (const LanguageTable& table : kLanguageTables) AddTable(all, table.text);
    return all;
  }();
  return names;
}

bool Consume(std::string_view& text, std::string_view prefix) {
  if (text.substr(0, prefix.size()) != prefix) return false;
  text.remove_prefix(prefix.size());
  return true;
}

// "e-mail N - value", "e-mail N - type" or "e-mail N - label", already folded.
CsvHeaderName NumberedEmail(std::string_view folded) {
  if (!Consume(folded, "e-mail ")) return {};
  int number = 0;
  size_t digits = 0;
  while (digits < folded.size() && digits < 4 && folded[digits] >= '0' && folded[digits] <= '9')
    number = number * 10 + (folded[digits++] - '0');
  if (digits == 0) return {};
  folded.remove_prefix(digits);
  if (folded == " - value") return {CsvColumn::kNumberedEmailValue, number};
  if (folded == " - type" || folded == " - label") return {CsvColumn::kNumberedEmailType, number};
  return {};
}

}  // namespace

CsvHeaderName ColumnOfHeader(std::string_view header) {
  std::string folded = FoldHeader(header);
  const auto& names = KnownNames();
  auto found = names.find(folded);
  if (found != names.end()) return {found->second, 0};
  return NumberedEmail(folded);
}
