// How "zuadr.ini" values are read and written.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// An absent or empty value gives the default; otherwise a signed decimal number read up to the
// first character that is not a digit ("12ab" is 12, "ab" is 0). Overlong numbers wrap at 32 bits
// as the platform's reader does.
int ReadSettingValue(std::optional<std::string_view> value, int defaultValue);

// Signed decimal without leading zeros or blanks: "544", "-4", "0".
std::string FormatSettingValue(int value);
