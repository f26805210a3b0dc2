// The open-file dialog of the three import commands, and what it shares with the export's
// save dialog.
#include <windows.h>
#include <commdlg.h>

#include <string>

#include "app/settings.h"
#include "app/shell_state.h"
#include "import/import_steps_win.h"

namespace {

struct ChooserTexts {
  UINT titleId;
  UINT filterLabelId;
  const char* defaultExtension;
};

bool TextsOf(int commandId, ChooserTexts& texts) {
  switch (commandId) {
    case kCmdImportVCard: texts = {118, 119, "vcf"}; return true;
    case kCmdImportNetscape: texts = {120, 121, "htm"}; return true;
    case kCmdImportEudora: texts = {122, 123, "txt"}; return true;
  }
  return false;
}

// The working directory at start-up, where the data files live.
std::string DataDirectory() {
  const std::string& personPath = g_shell.store.personPath;
  size_t slash = personPath.find_last_of('\\');
  if (slash == std::string::npos) return std::string();
  std::string directory = personPath.substr(0, slash);
  if (directory.size() == 2 && directory[1] == ':') directory += '\\';  // a drive's root
  return directory;
}

}  // namespace

FileDialogRequest::FileDialogRequest(HWND owner, UINT titleId, UINT filterLabelId,
                                     const char* pattern, const char* defaultExtension,
                                     PathBuffer& chosen)
    : initialDirectory_(DataDirectory()) {
  LoadLocalString(g_shell.instance, titleId, title_, kPathSize);
  // One file-type entry: the label, its pattern (perhaps none), and the empty entry that ends
  // the list; the buffer is zero-filled, so only the pattern needs placing.
  int labelLength = LoadLocalString(g_shell.instance, filterLabelId, filter_, kPathSize);
  lstrcpynA(filter_ + labelLength + 1, pattern, kPatternSize);
  ZeroMemory(chosen, kPathSize);
  request_.lStructSize = sizeof(request_);
  request_.hwndOwner = owner;
  request_.lpstrFilter = filter_;
  request_.nFilterIndex = 1;
  request_.lpstrFile = chosen;
  request_.nMaxFile = kPathSize;
  request_.lpstrInitialDir = initialDirectory_.empty() ? nullptr : initialDirectory_.c_str();
  request_.lpstrTitle = title_;
  request_.lpstrDefExt = defaultExtension;
}

bool ChooseImportFile(HWND owner, int commandId, PathBuffer& chosen) {
  ChooserTexts texts;
  if (!TextsOf(commandId, texts)) return false;
  // The entry carries the label alone, with no pattern of its own.
  FileDialogRequest dialog(owner, texts.titleId, texts.filterLabelId, "", texts.defaultExtension,
                           chosen);
  dialog.request().Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
  return GetOpenFileNameA(&dialog.request()) != FALSE;
}
