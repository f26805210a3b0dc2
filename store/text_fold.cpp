#include "store/text_fold.h"

#include <cstring>

namespace {

struct PageFolds {
  unsigned number;
  const char* high[128];  // what bytes 80-FF fold to, one or two bytes each
};

const PageFolds kPageFolds[] = {
#include "store/text_fold_tables.inc"
};

const PageFolds* FoldsOf(unsigned number) {
  for (const PageFolds& folds : kPageFolds)
    if (folds.number == number) return &folds;
  return nullptr;
}

}  // namespace

TextFolding::TextFolding(const CodePage& page) : page_(page), doubleByte_(page.IsDoubleByte()) {
  for (unsigned c = 0; c < 256; ++c) {
    byteFolds_[c] = {static_cast<char>(c), 0};
    if (c >= 'A' && c <= 'Z') byteFolds_[c][0] = static_cast<char>(c + 32);
  }
  const PageFolds* folds = doubleByte_ ? nullptr : FoldsOf(page.number);
  if (!folds) return;
  for (unsigned c = 0x80; c < 256; ++c) {
    const char* to = folds->high[c - 0x80];
    byteFolds_[c] = {to[0], to[0] ? to[1] : '\0'};
  }
}

void TextFolding::AppendFolded(std::string_view text, std::string& out) const {
  for (size_t i = 0; i < text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (doubleByte_ && page_.IsLead(c)) {
      out.push_back(text[i]);
      if (i + 1 < text.size()) out.push_back(text[++i]);
      continue;
    }
    out.push_back(byteFolds_[c][0]);
    if (byteFolds_[c][1]) out.push_back(byteFolds_[c][1]);
  }
}

std::string TextFolding::Folded(std::string_view text) const {
  std::string out;
  out.reserve(text.size());
  AppendFolded(text, out);
  return out;
}

bool TextFolding::Contains(std::string_view foldedText, std::string_view foldedWord) const {
  if (foldedWord.empty()) return true;
  if (!doubleByte_) return foldedText.find(foldedWord) != std::string_view::npos;
  // A hit counts only where a character begins and the word ends where one ends.
  size_t boundary = 0;
  for (size_t hit = foldedText.find(foldedWord); hit != std::string_view::npos;
       hit = foldedText.find(foldedWord, boundary)) {
    while (boundary < hit) boundary += CharLengthAt(page_, foldedText, boundary);
    if (boundary != hit) continue;
    size_t end = hit;
    while (end < hit + foldedWord.size()) end += CharLengthAt(page_, foldedText, end);
    if (end == hit + foldedWord.size()) return true;
    boundary += CharLengthAt(page_, foldedText, boundary);
  }
  return false;
}

std::vector<std::string> FoldedWords(const TextFolding& folding, std::string_view text) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == ' ') {
      ++i;
      continue;
    }
    // A space can be a trail byte of a double-byte character: step by characters.
    size_t end = i;
    while (end < text.size() && text[end] != ' ') end += CharLengthAt(folding.Page(), text, end);
    std::string word = folding.Folded(text.substr(i, end - i));
    if (!word.empty()) words.push_back(std::move(word));
    i = end;
  }
  return words;
}

bool HoldsEveryWord(const TextFolding& folding, std::string_view foldedTexts,
                    const std::vector<std::string>& foldedWords) {
  for (const std::string& word : foldedWords)
    if (!folding.Contains(foldedTexts, word)) return false;
  return true;
}
