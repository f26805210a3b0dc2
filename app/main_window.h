// The main window ("ZuAddressBook"): window procedure, command table and command enabling.
#pragma once

#include <windows.h>

LRESULT CALLBACK MainWindowProc(HWND, UINT, WPARAM, LPARAM);

// Enables or grays the commands in the menus, the toolbar and the recipient box.
void RunCommandEnabling(HWND mainWindow);

// WM_COMMAND of the main window; false for identifiers it does not handle.
bool HandleCommand(HWND mainWindow, WPARAM wParam);

// The About dialog (command 112).
void ShowAboutDialog(HWND owner);
