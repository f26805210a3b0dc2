#include "app/panes/type_ahead.h"

#include "store/folded_key.h"

namespace {

bool AllSameLetter(std::string_view text) {
  for (char c : text)
    if (FoldByte(static_cast<unsigned char>(c)) != FoldByte(static_cast<unsigned char>(text.front()))) return false;
  return true;
}

}  // namespace

void TypeAheadText::Type(char c, uint32_t tickMs) {
  bool continues = Continues(tickMs);
  if (!continues) typed_.clear();
  typed_.push_back(c);
  lastTick_ = tickMs;
  extending_ = continues && !AllSameLetter(typed_);
}

std::string_view TypeAheadText::SearchText() const {
  std::string_view text = typed_;
  if (!text.empty() && AllSameLetter(text)) return text.substr(0, 1);
  return text;
}

bool BeginsWithNoCase(std::string_view text, std::string_view prefix) {
  if (prefix.size() > text.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (FoldByte(static_cast<unsigned char>(text[i])) != FoldByte(static_cast<unsigned char>(prefix[i]))) return false;
  return true;
}

int FindTypeAheadTarget(int count, int caret, bool includeCaret, std::string_view prefix,
                        const std::function<std::string_view(int)>& describe) {
  if (count <= 0 || prefix.empty()) return -1;
  if (caret < 0 || caret >= count) {
    caret = count - 1;  // no caret: the walk starts at the top
    includeCaret = false;
  }
  int first = includeCaret ? caret : caret + 1;
  for (int step = 0; step < count; ++step) {
    int position = (first + step) % count;
    if (BeginsWithNoCase(describe(position), prefix)) return position;
  }
  return -1;
}
