// Win32 entry point of File > Export.
#pragma once

#include <windows.h>

// Command 115: the chosen persons as a vCard file, through the save-file dialog.
void ExportAddressBook(HWND owner);
