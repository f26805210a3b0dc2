// Win32 entry point of File > Import.
#pragma once

#include <windows.h>

// Commands 106 (vCard), 107 (Netscape), 108 (Eudora); any other id does nothing.
void ImportAddressBook(HWND owner, int commandId);

// Commands 116 (CSV) and 117 (LDIF); any other id does nothing.
void ImportContactsFile(HWND owner, int commandId);
