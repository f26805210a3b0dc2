// Win32 entry point of File > Import.
#pragma once

#include <windows.h>

// Commands 106 (vCard), 107 (Netscape), 108 (Eudora); any other id does nothing.
void ImportAddressBook(HWND owner, int commandId);
