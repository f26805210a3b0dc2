// The start mode chosen by the command line: 0 plain, 1 "/p" (host "Set"), 2 "/o" (host "Mail").
#pragma once

#include <string_view>

// What follows the program's own name in the raw command line: a name in double quotes ends at
// the closing quote, otherwise at the first blank; blanks and control characters (1..32) after
// the name are skipped.
std::string_view CommandLineArguments(std::string_view commandLine);

// Exactly "/o" gives 2, exactly "/p" gives 1, anything else 0 (nothing trimmed or split).
int StartModeFromArguments(std::string_view arguments);

int StartModeFromCommandLine(std::string_view commandLine);
