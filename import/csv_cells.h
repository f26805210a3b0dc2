// Splitting CSV text into rows of cells as RFC 4180 describes it, with the freedoms real
// exporters take: any of CR LF, LF or CR ends a row, and the delimiter may be chosen.
#pragma once

#include <string>
#include <string_view>
#include <vector>

using CsvRow = std::vector<std::string>;

// Reads one row at a time. A cell in double quotes may hold the delimiter, line breaks and
// doubled quotes; text after its closing quote is kept up to the next delimiter. A quote the
// text never closes is taken as a plain character, so that it cannot swallow the rest of the
// file: the cell then ends at the delimiter or line end as an unquoted one does. Every cell is
// trimmed of blanks at its ends (`untrimmed` receives them as they stood). Empty lines are no rows.
class CsvRows {
 public:
  CsvRows(std::string_view text, char delimiter) : text_(text), delimiter_(delimiter) {}
  // False at the end of the text.
  bool Next(CsvRow& row, CsvRow* untrimmed = nullptr);

  // The lines (counted from 1) where a quote opened that the text never closes, in file order.
  const std::vector<size_t>& unclosedQuoteLines() const { return unclosedQuoteLines_; }

 private:
  bool AtRowEnd() const;
  void SkipRowEnd();
  std::string ReadCell();
  bool ReadQuoted(std::string& cell);
  size_t LineOf(size_t position);

  std::string_view text_;
  char delimiter_;
  size_t at_ = 0;
  size_t linesCountedTo_ = 0, linesBefore_ = 0;  // line ends counted up to a position
  std::vector<size_t> unclosedQuoteLines_;
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
