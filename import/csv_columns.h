// The columns of a contacts CSV file this program reads, found by the names exporters write in
// the header line: Outlook and Thunderbird (in each language of resources/lang/csv_columns), and
// Google.
#pragma once

#include <string_view>

enum class CsvColumn {
  kUnknown,
  kFirstName,
  kMiddleName,
  kLastName,
  kEmailAddress,      // Outlook
  kEmailDisplayName,  // Outlook: "Name (address)" or a name
  kPrimaryEmail,      // Thunderbird
  kDisplayName,       // Thunderbird
  kName,              // Google, older form
  kNickname,
  kNotes,
  kCategories,        // Outlook, split at ";"
  kGroupMembership,   // Google, older form
  kLabels,            // Google, newer form
  kNumberedEmailValue,  // Google "E-mail N - Value"
  kNumberedEmailType,   // Google "E-mail N - Type" (older) or "- Label" (newer)
};

struct CsvHeaderName {
  CsvColumn column = CsvColumn::kUnknown;
  int number = 0;  // N of the numbered Google columns
};

// The column a header cell names, letter case ignored.
CsvHeaderName ColumnOfHeader(std::string_view header);

inline bool IsKnownHeader(std::string_view header) {
  return ColumnOfHeader(header).column != CsvColumn::kUnknown;
}

// True for the columns an address can come from.
inline bool IsEmailColumn(CsvColumn column) {
  return column == CsvColumn::kEmailAddress || column == CsvColumn::kPrimaryEmail ||
         column == CsvColumn::kNumberedEmailValue;
}
