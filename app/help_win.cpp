// Help > Contents and F1: WinHelp when "qlon.hlp" is there, else the HTML Help viewer with
// "qlon.chm"; both beside the executable, since the program runs in its data folder.
#include <windows.h>
#include <htmlhelp.h>

#include <algorithm>
#include <string>

#include "app/help.h"
#include "app/help_files.h"
#include "app/settings.h"
#include "app/shell_state.h"

namespace {

constexpr UINT kCaptionId = 101;
constexpr UINT kHelpMissingId = 150;
constexpr UINT kViewerMissingId = 151;
constexpr UINT kHelpNotOpenedId = 152;
const char kViewerModule[] = "hhctrl.ocx";

using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

std::string ModuleFolder() {
  char path[MAX_PATH] = {};
  DWORD length = GetModuleFileNameA(nullptr, path, sizeof(path));
  if (length == 0 || length >= sizeof(path)) return std::string();
  return ExecutableFolder(path);
}

bool FileExists(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The viewer stays loaded for the rest of the run: its windows live in this process.
HtmlHelpFunction HtmlHelpViewer(bool loadIfMissing) {
  HMODULE viewer = GetModuleHandleA(kViewerModule);
  if (!viewer && loadIfMissing) viewer = LoadLibraryA(kViewerModule);
  if (!viewer) return nullptr;
  FARPROC entry = GetProcAddress(viewer, "HtmlHelpA");
  return reinterpret_cast<HtmlHelpFunction>(reinterpret_cast<void*>(entry));
}

void KeepHelpPath(const std::string& target) {
  target.copy(g_shell.helpPath, sizeof(g_shell.helpPath) - 1);
  g_shell.helpPath[std::min(target.size(), sizeof(g_shell.helpPath) - 1)] = '\0';
}

void ShowHelpMessage(HWND owner, UINT textId, const std::string& path) {
  char text[256];
  char caption[256];
  LoadLocalString(g_shell.instance, textId, text, sizeof(text));
  LoadLocalString(g_shell.instance, kCaptionId, caption, sizeof(caption));
  std::string message = TextWithPath(text, path);
  MessageBoxA(owner, message.c_str(), caption, MB_ICONEXCLAMATION | MB_SETFOREGROUND);
}

bool ShowWinHelp(HWND mainWindow, const std::string& folder) {
  KeepHelpPath(HelpTarget(folder, kWinHelpFile));
  if (WinHelpA(mainWindow, g_shell.helpPath, HELP_CONTEXT, kHelpContext)) return true;
  g_shell.helpPath[0] = '\0';
  return false;
}

void ShowHtmlHelp(HWND mainWindow, const std::string& folder) {
  std::string target = HelpTarget(folder, kHtmlHelpFile);
  std::string file(HelpFileOf(target));
  if (!FileExists(file)) return ShowHelpMessage(mainWindow, kHelpMissingId, file);
  HtmlHelpFunction htmlHelp = HtmlHelpViewer(true);
  if (!htmlHelp) return ShowHelpMessage(mainWindow, kViewerMissingId, file);
  KeepHelpPath(target);
  if (htmlHelp(mainWindow, g_shell.helpPath, HH_HELP_CONTEXT, kHelpContext)) return;
  g_shell.helpPath[0] = '\0';
  ShowHelpMessage(mainWindow, kHelpNotOpenedId, file);
}

}  // namespace

void OpenHelp(HWND mainWindow) {
  std::string folder = ModuleFolder();
  if (FileExists(folder + kWinHelpFile) && ShowWinHelp(mainWindow, folder)) return;
  ShowHtmlHelp(mainWindow, folder);
}

void CloseHelp(HWND mainWindow) {
  if (!g_shell.helpPath[0]) return;
  if (IsWinHelpTarget(g_shell.helpPath)) {
    WinHelpA(mainWindow, g_shell.helpPath, HELP_QUIT, 0);
  } else if (HtmlHelpFunction htmlHelp = HtmlHelpViewer(false)) {
    htmlHelp(nullptr, nullptr, HH_CLOSE_ALL, 0);
  }
  g_shell.helpPath[0] = '\0';
}
