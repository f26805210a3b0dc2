// Decoding a vCard value into the ANSI text a person record holds.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "import/text_scan.h"
#include "import/vcard_lines.h"

// The value as UTF-8: quoted-printable undone, then its CHARSET applied; without one (or with
// one the platform cannot read) it is UTF-8 when its bytes are valid UTF-8, else ANSI.
std::string ValueToUtf8(std::string_view raw, const ValueParams& params);

// The pieces between separators that no backslash escapes; the pieces keep their escapes.
std::vector<std::string_view> SplitUnescaped(std::string_view text, char separator);

// Escapes undone and each line break made one blank. vCard 2.1 (`legacy`) knows only "\;";
// later versions take a backslash before any character as that character, "\n" as a break.
std::string Unescape(std::string_view text, bool legacy);
