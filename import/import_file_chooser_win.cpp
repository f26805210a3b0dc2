// The open-file dialog of the import commands, and what it shares with the export's
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
  const char* pattern = "";  // the first three carry the label alone
  UINT allFilesLabelId = 0;
};

constexpr UINT kAllFilesText = 189;  // "All files (*.*)"

bool TextsOf(int commandId, ChooserTexts& texts) {
  switch (commandId) {
    case kCmdImportVCard: texts = {118, 119, "vcf"}; return true;
    case kCmdImportNetscape: texts = {120, 121, "htm"}; return true;
    case kCmdImportEudora: texts = {122, 123, "txt"}; return true;
    case kCmdImportCsv: texts = {180, 182, "csv", "*.csv;*.txt", kAllFilesText}; return true;
    case kCmdImportLdif: texts = {181, 183, "ldif", "*.ldif;*.ldi", kAllFilesText}; return true;
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
                                     PathBuffer& chosen, UINT allFilesLabelId)
    : initialDirectory_(DataDirectory()) {
  LoadLocalString(g_shell.instance, titleId, title_, kPathSize);
  // Each file-type entry is its label and its pattern (perhaps none); an empty entry ends them.
  char label[kPathSize] = {};
  LoadLocalString(g_shell.instance, filterLabelId, label, kPathSize);
  filter_.append(label).append(1, '\0').append(pattern).append(1, '\0');
  if (allFilesLabelId != 0) {
    LoadLocalString(g_shell.instance, allFilesLabelId, label, kPathSize);
    filter_.append(label).append(1, '\0').append("*.*").append(1, '\0');
  }
  filter_.append(1, '\0');
  ZeroMemory(chosen, kPathSize);
  request_.lStructSize = sizeof(request_);
  request_.hwndOwner = owner;
  request_.lpstrFilter = filter_.c_str();
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
  FileDialogRequest dialog(owner, texts.titleId, texts.filterLabelId, texts.pattern,
                           texts.defaultExtension, chosen, texts.allFilesLabelId);
  dialog.request().Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
  return GetOpenFileNameA(&dialog.request()) != FALSE;
}
