// The steps of File > Import that talk to the platform: the Netscape path dialog, the file
// chooser and the file load.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

constexpr int kPathSize = 260;
using PathBuffer = char[kPathSize];

enum NetscapePathResult : int { kGoToChooser = 0, kPathOpened = 1, kImportCancelled = 2 };

// The "File Location" of the Netscape address book, or false when none is recorded.
bool ReadNetscapeBookLocation(PathBuffer& location);

// Runs "IMPDLG" modally; on kPathOpened the path that opened is in pathBlock.
int RunNetscapePathDialog(HWND owner, PathBuffer& pathBlock);

// The working directory at start-up, where the data files live; the file dialogs start there.
std::string DataDirectory();

// The open-file dialog of the command, starting in the data directory; false when cancelled.
bool ChooseImportFile(HWND owner, int commandId, PathBuffer& chosen);

// The whole file followed by one zero byte, or none when it cannot be opened or read.
std::optional<std::string> LoadImportText(const char* path);
