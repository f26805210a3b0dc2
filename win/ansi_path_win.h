// Folders the system names in Unicode, for a program that works with ANSI paths. A user name
// the ANSI code page cannot hold (Cyrillic on a Western system) would otherwise come back from
// the ANSI calls with "?" in it, a folder that does not exist.
#pragma once

#include <windows.h>

#include <string>

// The path in the ANSI code page: as it stands when the code page holds it, else its short
// (8.3) form; "" when there is none or that does not fit the code page either.
std::string AnsiPathOf(const std::wstring& path);

// The platform's short form of an existing ANSI path; "" when it has none.
std::string ShortAnsiPath(const std::string& path);

// The user's application-data folder (CSIDL_APPDATA) as an ANSI path, by AnsiPathOf; "" when the
// system names none or the code page cannot hold it in any form.
std::string UserAppDataFolder();
