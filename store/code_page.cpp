#include "store/code_page.h"

bool CodePage::IsDoubleByte() const {
  for (bool b : lead)
    if (b) return true;
  return false;
}

CodePage SingleByteCodePage(unsigned number) {
  CodePage page;
  page.number = number;
  return page;
}

CodePage ShiftJisCodePage() {
  CodePage page;
  page.number = 932;
  for (unsigned c = 0x81; c <= 0x9F; ++c) page.lead[c] = true;
  for (unsigned c = 0xE0; c <= 0xFC; ++c) page.lead[c] = true;
  return page;
}

size_t CharLengthAt(const CodePage& page, std::string_view text, size_t i) {
  if (i + 1 < text.size() && page.IsLead(static_cast<unsigned char>(text[i]))) return 2;
  return 1;
}

size_t CutBetweenCharacters(const CodePage& page, std::string_view text, size_t maxBytes) {
  if (text.size() <= maxBytes) return text.size();
  size_t i = 0;
  while (i < maxBytes) {
    size_t n = CharLengthAt(page, text, i);
    if (i + n > maxBytes) break;
    i += n;
  }
  return i;
}

size_t WholeCharactersLength(const CodePage& page, std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    if (i + 1 == text.size() && page.IsLead(static_cast<unsigned char>(text[i]))) return i;
    i += CharLengthAt(page, text, i);
  }
  return i;
}
