// Win32 entry points of the recipient box ("ToBoxClass", modes 1 and 2 only).
#pragma once

#include <windows.h>

LRESULT CALLBACK RecipientBoxProc(HWND, UINT, WPARAM, LPARAM);
void AddSelectedRecipients();
void DropDeletedRecipients();      // before command 105 deletes the selected entries
void UpdateRecipientControls();    // the recipient-box rows of command enabling
void SendAddressesToHost(HWND recipientBox);
