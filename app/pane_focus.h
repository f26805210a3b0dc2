// Where the keyboard focus goes among the main window's panes: to the entry list at start-up and
// when the window is activated again (after a dialog, Find or another program), and, beside a
// host, around the entry list and the recipient box with Tab and Shift+Tab.
#pragma once

#include <windows.h>

// The main window's activation (WM_ACTIVATE): remembers the focused pane when the window loses
// the activation and gives it back, or the entry list, when the window regains it.
void OnMainWindowActivation(HWND mainWindow, WPARAM wParam);

// Tab and Shift+Tab, and Enter on a focused recipient-box button, for the message loop; true
// when the key was taken.
bool HandlePaneKey(const MSG& msg);

// A focused button that has just been disabled passes the focus on along the cycle.
void MoveFocusOffDisabledPane();
