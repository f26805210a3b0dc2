// Printing the selected entries, or the whole list when none is selected (command 104).
#pragma once

#include <windows.h>

void PrintEntries(HWND mainWindow);
