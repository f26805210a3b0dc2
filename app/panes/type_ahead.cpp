#include "app/panes/type_ahead.h"

#include "store/folded_key.h"

bool TypeAheadText::AllSameCharacter() const {
  std::string_view text = typed_;
  size_t first = CharLengthAt(page_, text, 0);
  std::string folded;
  AppendFolded(folded, text, page_);
  std::string_view character = std::string_view(folded).substr(0, first);
  for (size_t i = 0; i < text.size(); i += CharLengthAt(page_, text, i))
    if (std::string_view(folded).substr(i, CharLengthAt(page_, text, i)) != character) return false;
  return true;
}

bool TypeAheadText::EndsWithWholeCharacter() const {
  size_t i = 0;
  while (i < typed_.size()) {
    if (page_.IsLead(static_cast<unsigned char>(typed_[i])) && i + 1 == typed_.size()) return false;
    i += CharLengthAt(page_, typed_, i);
  }
  return true;
}

void TypeAheadText::Type(char c, uint32_t tickMs) {
  // the trail byte of a double-byte character always belongs to its lead byte
  bool continues = Continues(tickMs) || !EndsWithWholeCharacter();
  if (!continues) typed_.clear();
  typed_.push_back(c);
  lastTick_ = tickMs;
  extending_ = continues && !AllSameCharacter();
}

std::string_view TypeAheadText::SearchText() const {
  std::string_view text = typed_;
  if (!text.empty() && AllSameCharacter()) return text.substr(0, CharLengthAt(page_, text, 0));
  return text;
}

bool BeginsWithNoCase(std::string_view text, std::string_view prefix, const CodePage& page) {
  if (prefix.size() > text.size()) return false;
  bool trail = false;  // while the two agree, their characters begin at the same bytes
  for (size_t i = 0; i < prefix.size(); ++i) {
    auto x = static_cast<unsigned char>(text[i]);
    auto y = static_cast<unsigned char>(prefix[i]);
    if (x != y && (trail || FoldByte(x) != FoldByte(y))) return false;
    trail = !trail && page.IsLead(x);
  }
  return true;
}

int FindTypeAheadTarget(int count, int caret, bool includeCaret, std::string_view prefix, const CodePage& page,
                        const std::function<std::string_view(int)>& describe) {
  if (count <= 0 || prefix.empty()) return -1;
  if (caret < 0 || caret >= count) {
    caret = count - 1;  // no caret: the walk starts at the top
    includeCaret = false;
  }
  int first = includeCaret ? caret : caret + 1;
  for (int step = 0; step < count; ++step) {
    int position = (first + step) % count;
    if (BeginsWithNoCase(describe(position), prefix, page)) return position;
  }
  return -1;
}
