#include "import/csv_cells.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// With a tab delimiter no tab reaches a cell, so trimming tabs cannot eat one.
void TrimEnds(std::string& cell) {
  size_t end = cell.size();
  while (end > 0 && IsBlank(cell[end - 1])) --end;
  size_t start = 0;
  while (start < end && IsBlank(cell[start])) ++start;
  cell = cell.substr(start, end - start);
}

}  // namespace

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
  if (at_ < text_.size() && text_[at_] == '"') {
    ++at_;
    while (at_ < text_.size()) {
      char c = text_[at_++];
      if (c != '"') {
        cell.push_back(c);
      } else if (at_ < text_.size() && text_[at_] == '"') {
        cell.push_back('"');
        ++at_;
      } else {
        break;  // the closing quote
      }
    }
  } else {
    at_ = start;
  }
  // Unquoted text, or what stands between a closing quote and the delimiter.
  while (at_ < text_.size() && text_[at_] != delimiter_ && text_[at_] != '\r' && text_[at_] != '\n')
    cell.push_back(text_[at_++]);
  TrimEnds(cell);
  return cell;
}

bool CsvRows::Next(CsvRow& row) {
  row.clear();
  while (at_ < text_.size() && (text_[at_] == '\r' || text_[at_] == '\n')) ++at_;  // empty lines
  if (at_ >= text_.size()) return false;
  for (;;) {
    row.push_back(ReadCell());
    if (AtRowEnd()) break;
    ++at_;  // the delimiter
  }
  SkipRowEnd();
  return true;
}
