// "zuadr.ini" (the Windows directory's, or the user's own where that one cannot be written) and the
// localized resource set.
#pragma once

#include <windows.h>

#include "app/placement.h"

// "Application" "language", read once before the window classes are registered.
void ReadLanguageSetting();

// Base name + LanguageSuffix in one 32-byte buffer shared by all callers: use it at once.
// The English name ("_EG") when the language's set holds no such menu or dialog.
const char* LocalizedResourceName(const char* baseName);

// String `id` of the language's set into buffer (the English text when the set lacks it, empty
// when both do); characters copied.
int LoadLocalString(HINSTANCE instance, UINT id, char* buffer, int bufferSize);

// Text and caption from the string table (256-byte buffers each), one OK button.
void MessageBoxById(HWND owner, UINT textId, UINT captionId, UINT flags);

WindowPlacement ReadStoredPlacement();
bool ReadZoomSetting();
void WritePlacement(HWND mainWindow);
void WriteZoom(HWND mainWindow);

// Sets g_shell.headerCells from the "InBox" widths over the header's client area, then the
// header's drag zones.
void ReadColumnWidths(const RECT& headerClient);
void WriteColumnWidths();
