// The main window's panes: creation, placement and the height snap.
#pragma once

#include <windows.h>

// Creates the panes and toolbar buttons, places them, sets the column boundaries and attaches
// the tooltips. Called once from the main window's creation.
void CreatePanes(HWND mainWindow);

// Places everything, widens the last column and snaps the height to whole list items.
void LayoutPanes(HWND mainWindow);
