// What the system says about an error code, in its own words.
#pragma once

#include <windows.h>

#include <string>

// The system's message for the code, without the line break it ends with ("Error N." when the
// system has none).
std::string SystemWords(DWORD code);
