// Text between the ANSI code page of the running system, UTF-16 and UTF-8. The ANSI side and the
// other 8-bit code pages come from the platform (charset_win.cpp; charset_posix.cpp stands in
// Windows-1252 for the native build); the UTF-8 side is portable.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "store/code_page.h"

constexpr uint32_t kAnsiCodePage = 0;  // whatever the running system uses
constexpr uint32_t kUtf8CodePage = 65001;

// ---- platform ----
// Bytes of an 8-bit or double-byte code page as UTF-16; false when the platform lacks it.
bool DecodeCodePage(uint32_t codePage, std::string_view bytes, std::u16string& out);
// UTF-16 in the ANSI code page; a character it cannot hold becomes its best fit, else "?".
// `unshowable` (when given) is set when some character had no best fit either.
std::string EncodeAnsi(std::u16string_view text, bool* unshowable = nullptr);

// ---- portable ----
bool IsValidUtf8(std::string_view bytes);
// Valid UTF-8 as UTF-16 (characters beyond the basic plane as surrogate pairs).
std::u16string Utf8ToUtf16(std::string_view utf8);
// UTF-16 appended as UTF-8; a lone surrogate becomes U+FFFD.
void AppendUtf8(std::string& out, std::u16string_view text);

// ANSI text of this system as UTF-8, and back; pure ASCII passes through untouched.
std::string AnsiToUtf8(std::string_view ansi);
std::string Utf8ToAnsi(std::string_view utf8);

// Text converted to the ANSI code page, and whether a character of it could not be shown there
// even by its best fit (it then stands as "?", which a name may not hold).
struct AnsiText {
  std::string text;
  bool unshowable = false;
};
AnsiText Utf8ToAnsiChecked(std::string_view utf8);
// Bytes in the given code page as UTF-8; none when the platform cannot read that code page.
std::optional<std::string> CodePageToUtf8(uint32_t codePage, std::string_view bytes);

// The byte order of UTF-16 text without a byte-order mark, told by its first line, in which
// every second byte is zero: true for big-endian; none for text that does not look so.
std::optional<bool> Utf16OrderWithoutMark(std::string_view bytes);

// A UTF-16 text (a byte-order mark of either order, or none as Utf16OrderWithoutMark tells) as
// UTF-8, without the mark and up to its first zero character; none for any other text.
std::optional<std::string> Utf16TextToUtf8(std::string_view bytes);

// The code page a MIME charset name stands for ("UTF-8", "Shift_JIS", ...), letter case ignored.
std::optional<uint32_t> CodePageOfCharset(std::string_view name);

// The longest start of ANSI text of at most maxBytes bytes that does not end inside a
// double-byte character of the code page.
std::string_view CutAnsi(std::string_view text, size_t maxBytes, const CodePage& page);
