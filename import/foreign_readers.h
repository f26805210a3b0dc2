// The readers of the contact files that carry groups: CSV as Outlook, Google and Thunderbird
// write it, and LDIF. Each takes the file's bytes whole (a UTF-16 file holds zero bytes).
#pragma once

#include <optional>
#include <string_view>

#include "import/foreign_book.h"

// None when the header line names no column an e-mail address could come from.
std::optional<ForeignBook> ReadContactsCsv(std::string_view bytes);

ForeignBook ReadLdif(std::string_view bytes);
