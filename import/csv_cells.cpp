#include "import/csv_cells.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// With a tab delimiter no tab reaches a cell, so trimming tabs cannot eat one.
std::string TrimmedEnds(const std::string& cell) {
  size_t end = cell.size();
  while (end > 0 && IsBlank(cell[end - 1])) --end;
  size_t start = 0;
  while (start < end && IsBlank(cell[start])) ++start;
  return cell.substr(start, end - start);
}

}  // namespace

// Line ends (CR LF, LF or CR) are counted onwards from the last position asked, so a file
// with many unclosed quotes is still read in one pass.
size_t CsvRows::LineOf(size_t position) {
  if (position < linesCountedTo_) linesCountedTo_ = linesBefore_ = 0;
  for (; linesCountedTo_ < position; ++linesCountedTo_) {
    char c = text_[linesCountedTo_];
    bool crBeforeLf = c == '\r' && linesCountedTo_ + 1 < text_.size() && text_[linesCountedTo_ + 1] == '\n';
    if ((c == '\r' && !crBeforeLf) || c == '\n') ++linesBefore_;
  }
  return linesBefore_ + 1;
}

// The quoted part of a cell, at_ on its opening quote. False, with nothing read, when the text
// ends before the closing quote.
bool CsvRows::ReadQuoted(std::string& cell) {
  size_t open = at_++;
  while (at_ < text_.size()) {
    char c = text_[at_++];
    if (c != '"') {
      cell.push_back(c);
    } else if (at_ < text_.size() && text_[at_] == '"') {
      cell.push_back('"');
      ++at_;
    } else {
      return true;  // the closing quote
    }
  }
  unclosedQuoteLines_.push_back(LineOf(open));
  cell.clear();
  at_ = open;
  return false;
}

bool CsvRows::AtRowEnd() const {
  return at_ >= text_.size() || text_[at_] == '\r' || text_[at_] == '\n';
}

void CsvRows::SkipRowEnd() {
  if (at_ < text_.size() && text_[at_] == '\r') ++at_;
  if (at_ < text_.size() && text_[at_] == '\n') ++at_;
}

std::string CsvRows::ReadCell() {
  std::string cell;
  size_t start = at_;
  while (at_ < text_.size() && text_[at_] != delimiter_ && IsBlank(text_[at_])) ++at_;
  bool quoted = at_ < text_.size() && text_[at_] == '"';
  if (!quoted || !ReadQuoted(cell)) at_ = start;
  // Unquoted text, or what stands between a closing quote and the delimiter.
  while (at_ < text_.size() && text_[at_] != delimiter_ && text_[at_] != '\r' && text_[at_] != '\n')
    cell.push_back(text_[at_++]);
  return cell;
}

bool CsvRows::Next(CsvRow& row, CsvRow* untrimmed) {
  row.clear();
  if (untrimmed) untrimmed->clear();
  while (at_ < text_.size() && (text_[at_] == '\r' || text_[at_] == '\n')) ++at_;  // empty lines
  if (at_ >= text_.size()) return false;
  for (;;) {
    std::string cell = ReadCell();
    row.push_back(TrimmedEnds(cell));
    if (untrimmed) untrimmed->push_back(std::move(cell));
    if (AtRowEnd()) break;
    ++at_;  // the delimiter
  }
  SkipRowEnd();
  return true;
}
