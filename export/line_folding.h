// Long lines of the text formats the exports write (vCard, LDIF), folded as both formats fold.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Appends the line and its CR LF, folding it before a byte that would pass maxOctets; each
// continuation line starts with one blank, which counts. No UTF-8 sequence is split.
void AppendFoldedLine(std::string& out, std::string_view line, size_t maxOctets);
