// Entry point: start mode, the two refusals, data paths, window classes, the book, the main
// window, the message loop and shutdown.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <cstring>
#include <string>

#include "app/book_files.h"
#include "app/book_folder_win.h"
#include "app/main_window.h"
#include "app/pane_focus.h"
#include "app/placement.h"
#include "app/settings.h"
#include "app/shell_state.h"
#include "app/single_copy.h"
#include "app/start_mode.h"
#include "handoff/recipient_box.h"
#include "app/panes/panes.h"
#include "app/panes/search_box_win.h"
#include "store/indexes.h"
#include "store/records.h"

namespace {

const char kMainClass[] = "ZuAddressBook";
const char kHostTitle[] = "Port Settings(Velmora Quillon)";
const char kRefusalCaption[] = "Address Book";
constexpr UINT kRefusalFlags = MB_OK | MB_SETFOREGROUND;
constexpr size_t kPathBufferSize = MAX_PATH;  // 260, the size every data path must fit
constexpr int kTitleBufferSize = 260;

void Refuse(const char* text) { MessageBoxA(nullptr, text, kRefusalCaption, kRefusalFlags); }

bool FindHostWindow() {
  g_shell.HostWindow = FindWindowA(nullptr, kHostTitle);
  return g_shell.HostWindow != nullptr;
}

// Current directory + "\personal.inf" / "\group.inf"; false when either would not fit 260 bytes.
bool FixDataPaths() {
  char directory[kPathBufferSize];
  DWORD length = GetCurrentDirectoryA(sizeof(directory), directory);
  if (length == 0 || length >= sizeof(directory)) return false;
  std::string personPath = std::string(directory) + "\\personal.inf";
  std::string groupPath = std::string(directory) + "\\group.inf";
  if (personPath.size() >= kPathBufferSize || groupPath.size() >= kPathBufferSize) return false;
  g_shell.store.personPath = personPath;
  g_shell.store.groupPath = groupPath;
  return true;
}

bool RegisterPaneClass(const char* name, WNDPROC procedure, HICON icon, HCURSOR cursor, int brush,
                       const char* menuName) {
  WNDCLASSA wc = {};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = procedure;
  wc.hInstance = g_shell.instance;
  wc.hIcon = icon;
  wc.hCursor = cursor;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(brush));
  wc.lpszMenuName = menuName;
  wc.lpszClassName = name;
  return RegisterClassA(&wc) != 0;
}

bool RegisterWindowClasses() {
  g_shell.appIcon = LoadIconA(g_shell.instance, "AppIcon");
  HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
  // The class keeps its menu name: copy it out of the shared buffer.
  char mainMenu[32];
  std::strncpy(mainMenu, LocalizedResourceName("MAINMENU"), sizeof(mainMenu) - 1);
  mainMenu[sizeof(mainMenu) - 1] = '\0';
  return RegisterPaneClass(kMainClass, MainWindowProc, g_shell.appIcon, arrow, WHITE_BRUSH, mainMenu) &&
         RegisterPaneClass("ToolBarClass", ToolbarProc, nullptr, arrow, LTGRAY_BRUSH, nullptr) &&
         RegisterPaneClass("StatusWindowClass", StatusBarProc, nullptr, arrow, LTGRAY_BRUSH, nullptr) &&
         RegisterPaneClass("InBoxItemClass", ColumnHeaderProc, nullptr, nullptr, LTGRAY_BRUSH, nullptr) &&
         RegisterPaneClass("ToBoxClass", RecipientBoxProc, nullptr, arrow, LTGRAY_BRUSH, nullptr);
}

void ResetShellState() {
  g_shell.toolbar = g_shell.columnHeader = g_shell.entryList = g_shell.statusBar = nullptr;
  g_shell.recipientBox = g_shell.recipientList = nullptr;
  g_shell.toButton = g_shell.recipientDeleteButton = g_shell.sendButton = nullptr;
  for (HWND& button : g_shell.toolbarButtons) button = nullptr;
  AddressStore& store = g_shell.store;
  store.persons.reset();
  store.groups.reset();
  store.personNameIndex = store.personMailIndex = store.groupNameIndex = SortedIndex{};
  g_shell.nameSortToggle = g_shell.mailSortToggle = 0;
  g_shell.DialogActive = 0;
}

void LoadRunResources() {
  g_shell.arrowCursor = LoadCursorA(nullptr, IDC_ARROW);
  g_shell.itemCursor = LoadCursorA(g_shell.instance, "ItemCur");
  g_shell.popupMenu = LoadMenuA(g_shell.instance, LocalizedResourceName("LOGMENU"));
}

WindowPlacement InitialPlacement() {
  RECT desktop;
  GetWindowRect(GetDesktopWindow(), &desktop);
  return ResolvePlacement(ReadStoredPlacement(), {desktop.left, desktop.top, desktop.right, desktop.bottom});
}

HWND CreateMainWindow() {
  WindowPlacement at = InitialPlacement();
  char title[kTitleBufferSize];
  LoadLocalString(g_shell.instance, 101, title, sizeof(title));
  return CreateWindowExA(0, kMainClass, title, WS_OVERLAPPEDWINDOW, at.x, at.y, at.width, at.height, nullptr,
                         nullptr, g_shell.instance, nullptr);
}

void ShowMainWindow(HWND window, int showState) {
  ShowWindow(window, showState);
  if (ReadZoomSetting()) ShowWindow(window, SW_SHOWMAXIMIZED);
  UpdateWindow(window);
}

// Ctrl+Z typed into an edit control (the Find dialog's search box) is the edit's own undo of
// typing, not Undo delete.
bool KeyKeptByEdit(const MSG& msg) {
  bool ctrlZ = (msg.message == WM_KEYDOWN && msg.wParam == 'Z' && (GetKeyState(VK_CONTROL) & 0x8000)) ||
               (msg.message == WM_CHAR && msg.wParam == 0x1A);
  if (KeyKeptBySearchBox(msg)) return true;
  if (!ctrlZ || !msg.hwnd) return false;
  char className[8] = {};
  GetClassNameA(msg.hwnd, className, sizeof className);
  return lstrcmpiA(className, "Edit") == 0;
}

// Keys first (for every window of the thread), then Tab and Enter among the panes, then the open
// Find dialog, then the window.
int RunMessageLoop() {
  MSG msg = {};
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (g_shell.accelerators && !KeyKeptByEdit(msg) && TranslateAcceleratorA(g_shell.mainWindow, g_shell.accelerators, &msg)) continue;
    if (HandlePaneKey(msg)) continue;
    HWND find = g_shell.FindDialogWindow;
    if (find && IsWindow(find) && IsDialogMessageA(find, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

void Shutdown() {
  FreeIndexes(g_shell.store);
  FreeAddressStore(g_shell.store);
  if (g_shell.itemCursor) DestroyCursor(g_shell.itemCursor);
  g_shell.itemCursor = nullptr;
  SetCursor(g_shell.arrowCursor);
  if (g_shell.popupMenu) DestroyMenu(g_shell.popupMenu);
  g_shell.popupMenu = nullptr;
  if (g_shell.appIcon) DestroyIcon(g_shell.appIcon);
  g_shell.appIcon = nullptr;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showState) {
  g_shell.instance = instance;
  g_shell.StartMode = StartModeFromCommandLine(GetCommandLineA());
  g_shell.FindDialogWindow = nullptr;
  SingleCopyLock singleCopy;  // held until the program ends
  if (singleCopy.AnotherCopyRuns()) {
    Refuse("Can't Open!!\rAlready Opening");
    return 0;
  }
  if (g_shell.StartMode != 0 && !FindHostWindow()) {
    Refuse("Can't Open!!\r\"Port Settings(Velmora Quillon)\" not Found");
    return 0;
  }
  if (!FixDataPaths()) {
    Refuse("Can't Open!!\rThe current folder's path is too long for the address book files.");
    return 0;
  }
  BookFolderChoice bookFolder = KeepBookWhereItCanBeWritten();
  InitCommonControls();
  // Screen readers reach the lists' accessible objects through COM, from other processes.
  CoInitialize(nullptr);
  ReadLanguageSetting();
  TellBookFolder(bookFolder);
  if (!RegisterWindowClasses()) return 0;
  ResetShellState();
  if (!LoadBookAtStart()) return 0;  // a data file that could not be read is left as it is
  CheckRoomForSaves();
  BuildIndexes(g_shell.store);
  LoadRunResources();

  HWND window = CreateMainWindow();
  g_shell.mainWindow = window;
  if (!window || !g_shell.popupMenu) {
    if (window) DestroyWindow(window);
    return 0;
  }
  ShowMainWindow(window, showState);
  if (std::string note = BookFolderNote(bookFolder); !note.empty()) ShowStatusNote(note);
  SetFocus(g_shell.entryList);
  g_shell.accelerators = LoadAcceleratorsA(instance, "KALBOOKACC");
  int exitCode = RunMessageLoop();
  Shutdown();
  CoUninitialize();
  return exitCode;
}
