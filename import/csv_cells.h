// Splitting CSV text into rows of cells as RFC 4180 describes it, with the freedoms real
// exporters take: any of CR LF, LF or CR ends a row, and the delimiter may be chosen.
#pragma once

#include <string>
#include <string_view>
#include <vector>

using CsvRow = std::vector<std::string>;

// Reads one row at a time. A cell in double quotes may hold the delimiter, line breaks and
// doubled quotes; text after its closing quote is kept up to the next delimiter. Every cell is
// trimmed of blanks at its ends. Empty lines are no rows.
class CsvRows {
 public:
  CsvRows(std::string_view text, char delimiter) : text_(text), delimiter_(delimiter) {}
  // False at the end of the text.
  bool Next(CsvRow& row);

 private:
  bool AtRowEnd() const;
  void SkipRowEnd();
  std::string ReadCell();

  std::string_view text_;
  char delimiter_;
  size_t at_ = 0;
};

// The delimiter (comma, semicolon or tab) that splits the first row into the most cells for
// which `isKnown` is true; comma when none does better.
template <typename IsKnown>
char DetectCsvDelimiter(std::string_view text, IsKnown isKnown) {
  char best = ',';
  size_t bestCount = 0;
  for (char delimiter : {',', ';', '\t'}) {
    CsvRow header;
    CsvRows rows(text, delimiter);
    if (!rows.Next(header)) return best;
    size_t count = 0;
    for (const std::string& cell : header)
      if (isKnown(cell)) ++count;
    if (count > bestCount) {
      best = delimiter;
      bestCount = count;
    }
  }
  return best;
}
