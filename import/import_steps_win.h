// The steps of File > Import that talk to the platform: the Netscape path dialog, the file
// chooser and the file load.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <optional>
#include <string>

#include "import/import_batch.h"

constexpr int kPathSize = 260;
using PathBuffer = char[kPathSize];

enum NetscapePathResult : int { kGoToChooser = 0, kPathOpened = 1, kImportCancelled = 2 };

// The "File Location" of the Netscape address book, or false when none is recorded.
bool ReadNetscapeBookLocation(PathBuffer& location);

// Runs "IMPDLG" modally; on kPathOpened the path that opened is in pathBlock.
int RunNetscapePathDialog(HWND owner, PathBuffer& pathBlock);

// The request of a file dialog of the import and export commands: title and its file-type
// entry from the string table (followed by an "all files" entry when allFilesLabelId is given),
// starting in the data directory, `chosen` emptied and receiving the result. The caller sets
// the flags and may propose a name in `chosen`.
class FileDialogRequest {
 public:
  FileDialogRequest(HWND owner, UINT titleId, UINT filterLabelId, const char* pattern,
                    const char* defaultExtension, PathBuffer& chosen, UINT allFilesLabelId = 0);
  FileDialogRequest(const FileDialogRequest&) = delete;
  FileDialogRequest& operator=(const FileDialogRequest&) = delete;
  OPENFILENAMEA& request() { return request_; }

 private:
  char title_[kPathSize] = {};
  std::string filter_;
  std::string initialDirectory_;
  OPENFILENAMEA request_ = {};
};

// The open-file dialog of the command, starting in the data directory; false when cancelled.
bool ChooseImportFile(HWND owner, int commandId, PathBuffer& chosen);

constexpr UINT kCaptionText = 101;
constexpr UINT kNoCardText = 2100;        // "No vCard was found in this file."
constexpr UINT kCannotOpenText = 2102;    // "Cannot open %s:\n%s"
constexpr UINT kOutOfMemoryText = 2106;   // the import ends with nothing added

// The whole file followed by one zero byte, or none when it cannot be opened or read (told with
// the system's reason) or is too large for memory (told as well).
std::optional<std::string> LoadImportText(HWND owner, const char* path);

// Tells that the import ran out of memory and added nothing.
void TellOutOfMemory(HWND owner);

// Merges the batch into the book, puts the new persons and groups into the entry list, tells a
// save that failed, and reports what was not taken as it stood. For every import command.
void MergeIntoBook(HWND owner, const ImportBatch& batch);
