// The open-file dialog of the three import commands.
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

}  // namespace

// The working directory at start-up, where the data files live.
std::string DataDirectory() {
  const std::string& personPath = g_shell.store.personPath;
  size_t slash = personPath.find_last_of('\\');
  if (slash == std::string::npos) return std::string();
  std::string directory = personPath.substr(0, slash);
  if (directory.size() == 2 && directory[1] == ':') directory += '\\';  // a drive's root
  return directory;
}

bool ChooseImportFile(HWND owner, int commandId, PathBuffer& chosen) {
  ChooserTexts texts;
  if (!TextsOf(commandId, texts)) return false;
  char title[kPathSize] = {};
  // The single file-type entry is the label alone: zero-filled, so it ends in an empty pattern
  // followed by the list's end.
  char filter[kPathSize + 2] = {};
  LoadLocalString(g_shell.instance, texts.titleId, title, kPathSize);
  LoadLocalString(g_shell.instance, texts.filterLabelId, filter, kPathSize);
  std::string initialDirectory = DataDirectory();

  ZeroMemory(chosen, kPathSize);
  OPENFILENAMEA request = {};
  request.lStructSize = sizeof(request);
  request.hwndOwner = owner;
  request.lpstrFilter = filter;
  request.nFilterIndex = 1;
  request.lpstrFile = chosen;
  request.nMaxFile = kPathSize;
  request.lpstrInitialDir = initialDirectory.empty() ? nullptr : initialDirectory.c_str();
  request.lpstrTitle = title;
  request.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
  request.lpstrDefExt = texts.defaultExtension;
  return GetOpenFileNameA(&request) != FALSE;
}
