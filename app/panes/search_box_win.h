// The main window's search box (edit 191 in the toolbar): typing narrows the entry list to the
// entries holding every word; the status bar counts them and an empty list says why.
#pragma once

#include <windows.h>

#include <string>

void CreateSearchBox(HWND toolbar);
void PlaceSearchBox(HWND toolbar);
// The toolbar's WM_COMMAND from the box; true when it was the box's.
bool OnSearchBoxCommand(WPARAM wParam);
// Command 124: the focus into the box, its text selected.
void FocusSearchBox();
// Keys the box keeps from the accelerators while it has the focus (Delete edits the text).
bool KeyKeptBySearchBox(const MSG& msg);

// "3 of 55,001 entries" while the box holds words, else empty.
std::string SearchStatusText();
// The status bar follows the count after the list changed (readers hear the new text).
void RefreshSearchStatus();

// Lets the entry list say, in grey in its middle, why it shows nothing.
void MakeEntryListTellWhyEmpty(HWND entryList);
