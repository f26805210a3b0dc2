// Win32 entry points of File > Export.
#pragma once

#include <windows.h>

// Command 115: the chosen persons as a vCard file, through the save-file dialog.
void ExportAddressBook(HWND owner);

// Commands 118 (Outlook CSV) and 119 (LDIF) likewise; any other id does nothing.
void ExportContactsFile(HWND owner, int commandId);
