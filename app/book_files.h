// The book's two data files as the user meets them: unreadable or damaged files at start-up,
// saves that did not complete, and changes still unsaved at close.
#pragma once

#include <windows.h>

#include <string>

#include "store/file_state.h"

// Loads the book into g_shell.store. A file that is there but cannot be read is offered again
// (Retry) or ends the start (Cancel: false, nothing written). Damaged files are then told in
// one message, before any window exists.
bool LoadBookAtStart();

// When the book's folder leaves no room for the names a save makes (its temporary file, the
// numbered copy of a damaged original) within the platform's path buffers: tells the user once,
// naming the folder, and makes every save of the run a pending one, refused without being tried.
// Called once the data paths are final and the book is loaded.
void CheckRoomForSaves();

// One stop-icon message for each data file whose latest save failed and was not yet told.
void TellFailedSaves(HWND owner);

// Tries once more to write each file with unsaved changes; if one still fails, asks whether
// to close anyway and lose them. True when the program may end.
bool SaveBeforeClose(HWND owner);

// The same at the end of the log-on, which waits while the question is up: the system is given
// the question's first line as the reason. False keeps the program running with the save pending.
bool SaveBeforeLogOff(HWND mainWindow);

// What the system reported, in its own words (or the program's, for want of memory).
std::string FailureWords(const FileFailure& failure);
