// Win32 entry points of File > Find duplicates and of the undo it shares with the delete.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// Command 123: the duplicates dialog ("DUPDLG"), or "No duplicates found." when there is none.
void ShowDuplicatesDialog(HWND mainWindow);

// Command 120: undoes the latest merge when it is the newer change, else the latest delete.
void UndoLatestChange(HWND mainWindow);

// The import report's line for the imported persons that stand in a set, or "" when none does.
std::string MayBeDuplicatesLine(const std::vector<uint32_t>& importedSlots);
