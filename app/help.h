// Command 111 (Help > Contents, F1) and the close of help when the main window goes.
#pragma once

#include <windows.h>

// Shows the help at its opening topic, owned by the main window; the help path stays set while
// it is open. When no help file can be shown, a message names the missing one.
void OpenHelp(HWND mainWindow);

// Closes the help the latest OpenHelp opened, if any, and clears the help path.
void CloseHelp(HWND mainWindow);
