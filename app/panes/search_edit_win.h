// A one-line edit that narrows a person list as the user types: the main window's search box and
// the one of Select members. It shows a grey hint while empty and without the focus, takes
// Enter, Esc and Down itself, selects its text with Ctrl+A, answers screen readers as "Search",
// and tells its owner of a changed text once the typing has paused (the queued keys first).
#pragma once

#include <windows.h>

#include <string>

struct SearchEditActions {
  void (*narrow)(HWND edit);           // the text changed and no key waits
  void (*enter)(HWND edit);
  void (*down)(HWND edit);
  void (*escapeWhenEmpty)(HWND edit);  // Esc with nothing to clear
};

// Takes over the edit's keys, hint and reader name; `actions` must outlive the edit. The edit
// gets a font of its own from the standard font set, released with the edit.
void MakeSearchEdit(HWND edit, const SearchEditActions& actions);

// For the owner's EN_CHANGE: the narrowing runs when no key is waiting any more.
void SearchEditChanged(HWND edit);

// The edit's text as typed.
std::string SearchEditText(HWND edit);
