// Folding for finding: texts are compared after folding, so that letter case and accents do not
// count ("Müller", "MULLER" and "muller" fold alike). The search box and the duplicate finder
// share it.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "store/code_page.h"

class TextFolding {
 public:
  // Western, Central European, Cyrillic, Greek, Turkish and Baltic pages (1250-1254, 1257)
  // fold letters with accents to their base letters and spell out ß, æ, œ (ss, ae, oe); every
  // other page folds A-Z only. A double-byte page never changes a byte of a two-byte character.
  explicit TextFolding(const CodePage& page);

  const CodePage& Page() const { return page_; }

  // Appends the folded text to out; the folded text has the same characters as the text.
  void AppendFolded(std::string_view text, std::string& out) const;
  std::string Folded(std::string_view text) const;

  // True when the folded text holds the folded word, beginning and ending between characters.
  bool Contains(std::string_view foldedText, std::string_view foldedWord) const;

 private:
  CodePage page_;
  std::array<std::array<char, 2>, 256> byteFolds_{};  // second byte 0 when a byte folds to one
  bool doubleByte_ = false;
};

// The folded words of a search text, split at spaces; empty when it holds none.
std::vector<std::string> FoldedWords(const TextFolding& folding, std::string_view text);

// True when every word occurs somewhere in the folded texts (true for no words at all).
bool HoldsEveryWord(const TextFolding& folding, std::string_view foldedTexts,
                    const std::vector<std::string>& foldedWords);
