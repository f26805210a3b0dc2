// The text of an imported file as UTF-8, whatever encoding the exporting program chose.
#pragma once

#include <string>
#include <string_view>

// A byte-order mark decides (UTF-8, or UTF-16 in either byte order) and is dropped; without one,
// a first line with every second byte zero is UTF-16 of that byte order, valid UTF-8 is read as
// UTF-8 and anything else as this system's ANSI code page.
std::string FileTextAsUtf8(std::string_view bytes);
