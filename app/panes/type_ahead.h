// Type-ahead in the person lists: typed characters move the caret to the next entry whose shown
// description begins with the typed text, under the store's case-insensitive comparison. A
// double-byte character arrives as its two bytes, one after the other.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "store/code_page.h"

// Characters further apart than this start a new search text.
constexpr uint32_t kTypeAheadPauseMs = 1000;

// The text typed so far and how the next search must start.
class TypeAheadText {
 public:
  explicit TypeAheadText(const CodePage& page) : page_(page) {}
  // True when a character typed at `tickMs` would extend the text rather than start a new one.
  bool Continues(uint32_t tickMs) const { return !typed_.empty() && tickMs - lastTick_ <= kTypeAheadPauseMs; }
  // Takes a character typed at `tickMs` (GetTickCount when it arrived; wrap-around safe).
  void Type(char c, uint32_t tickMs);
  // The text to search for: the whole typed text, or the one letter while it is repeated.
  std::string_view SearchText() const;
  // True when the search may stay on the caret's own entry (the text grew by a different
  // character); false when it starts after the caret (a new text or a repeated letter).
  bool MayStayOnCaret() const { return extending_; }
  // False while the text ends in a lead byte whose trail byte is still to come.
  bool EndsWithWholeCharacter() const;

 private:
  bool AllSameCharacter() const;

  CodePage page_;
  std::string typed_;
  uint32_t lastTick_ = 0;
  bool extending_ = false;
};

// True when `text` begins with `prefix`, A-Z folded to a-z in single-byte characters as the
// store compares.
bool BeginsWithNoCase(std::string_view text, std::string_view prefix, const CodePage& page);

// The position of the entry to move to, walking the list's current order once from the caret
// (wrapping at the end): from the caret itself when `includeCaret`, else from the one after it.
// -1 when no entry begins with `prefix` (or the list is empty). `describe(i)` is the shown
// description of position i.
int FindTypeAheadTarget(int count, int caret, bool includeCaret, std::string_view prefix, const CodePage& page,
                        const std::function<std::string_view(int)>& describe);
