// What the core needs to know of the ANSI code page the program runs in: its number, and which
// bytes lead a double-byte character (a trail byte may then equal any ASCII byte, "\" included).
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

struct CodePage {
  unsigned number = 1252;
  std::array<bool, 256> lead{};  // all false: a single-byte code page

  bool IsLead(unsigned char c) const { return lead[c]; }
  bool IsDoubleByte() const;
};

// A single-byte code page of this number (no lead bytes).
CodePage SingleByteCodePage(unsigned number);
// Japanese Shift_JIS (932): lead bytes 81-9F and E0-FC. The native tests' double-byte page.
CodePage ShiftJisCodePage();
// The system's ANSI code page (GetACP and IsDBCSLeadByteEx); 1252 in the native build.
CodePage SystemCodePage();

// Bytes of the character at text[i]: 2 for a lead byte with a byte after it, else 1.
size_t CharLengthAt(const CodePage& page, std::string_view text, size_t i);
// The longest length <= maxBytes at which text can be cut without splitting a character.
size_t CutBetweenCharacters(const CodePage& page, std::string_view text, size_t maxBytes);
// The length of text without a lead byte left alone at its end (what a cut in bytes leaves).
size_t WholeCharactersLength(const CodePage& page, std::string_view text);
