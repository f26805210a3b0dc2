// Base64 (RFC 4648, standard alphabet), as LDIF carries values that are not plain ASCII.
#pragma once

#include <string>
#include <string_view>

void AppendBase64(std::string& out, std::string_view bytes);

// The decoded bytes; characters outside the alphabet (blanks, line breaks) are passed over, and
// decoding stops at the first "=".
std::string DecodeBase64(std::string_view text);
