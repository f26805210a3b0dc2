// Every dialog of the program opens by its localized template name (base name + LanguageSuffix).
#pragma once

#include <windows.h>

// Runs the modal dialog; its result, or -1 (0 with no owner) when it could not be made.
INT_PTR RunLocalizedDialog(const char* baseName, HWND owner, DLGPROC procedure, LPARAM parameter = 0);

// Creates the modeless dialog; none when it could not be made.
HWND CreateLocalizedDialog(const char* baseName, HWND owner, DLGPROC procedure);
