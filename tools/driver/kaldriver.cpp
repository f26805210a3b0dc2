// Test driver: works the address book's windows from another process through window messages.
// Usage: kaldriver.exe [-t SECONDS] [-a] COMMAND ARGS...   (see tools/driver/README.md)
// Handles are printed and read as hex. Exit code 0 success, 1 failure, 2 bad usage.
#include <windows.h>
#include <oleacc.h>
#include <winspool.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

using Args = std::vector<std::string>;

double g_timeoutSeconds = 10;
bool g_includeHidden = false;

int Fail(const std::string& why) {
  std::fprintf(stderr, "kaldriver: %s\n", why.c_str());
  return 1;
}

void PrintHandle(HWND window) {
  std::printf("%llx\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
}

HWND ParseHandle(const std::string& text) {
  return reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoull(text.c_str(), nullptr, 16)));
}

// Decimal, or hex with 0x; a leading zero does not mean octal (ids like 010 are ten).
long long ParseNumber(const std::string& text) {
  const char* digits = text.c_str();
  bool negative = *digits == '-';
  if (negative) ++digits;
  bool hex = digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X');
  auto magnitude = static_cast<long long>(std::strtoull(hex ? digits + 2 : digits, nullptr, hex ? 16 : 10));
  return negative ? -magnitude : magnitude;
}

UINT ParseMessage(const std::string& text) {
  static const struct {
    const char* name;
    UINT id;
  } kNames[] = {{"WM_COMMAND", WM_COMMAND},         {"WM_CLOSE", WM_CLOSE},         {"WM_KEYDOWN", WM_KEYDOWN},
                {"WM_KEYUP", WM_KEYUP},             {"WM_CHAR", WM_CHAR},           {"WM_LBUTTONDOWN", WM_LBUTTONDOWN},
                {"WM_LBUTTONUP", WM_LBUTTONUP},     {"WM_MOUSEMOVE", WM_MOUSEMOVE}, {"WM_SETCURSOR", WM_SETCURSOR},
                {"WM_LBUTTONDBLCLK", WM_LBUTTONDBLCLK}};
  for (const auto& entry : kNames)
    if (text == entry.name) return entry.id;
  return static_cast<UINT>(ParseNumber(text));
}

// Polls `done` every 100 ms until it holds or the timeout passes.
bool WaitFor(const std::function<bool()>& done) {
  DWORD limit = static_cast<DWORD>(g_timeoutSeconds * 1000);
  DWORD start = GetTickCount();
  for (;;) {
    if (done()) return true;
    if (GetTickCount() - start >= limit) return false;
    Sleep(100);
  }
}

std::string WindowText(HWND window) {
  char text[4096] = "";
  DWORD_PTR length = 0;
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                      &length);
  text[sizeof text - 1] = 0;
  return text;
}

std::string ClassOf(HWND window) {
  char name[256] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

bool Matches(const std::string& wanted, const std::string& actual) {
  return wanted.empty() || wanted == "-" || wanted == actual;
}

struct TopLevelQuery {
  std::string className, title;
  int childId = -1;  // the window must hold a child with this id, when not -1
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM param) {
  auto* query = reinterpret_cast<TopLevelQuery*>(param);
  if (!g_includeHidden && !IsWindowVisible(window)) return TRUE;
  if (!Matches(query->className, ClassOf(window))) return TRUE;
  char title[1024] = "";
  GetWindowTextA(window, title, sizeof title);
  if (!Matches(query->title, title)) return TRUE;
  if (query->childId != -1 && !GetDlgItem(window, query->childId)) return TRUE;
  query->found.push_back(window);
  return TRUE;
}

std::vector<HWND> TopLevelWindows(const std::string& className, const std::string& title, int childId = -1) {
  TopLevelQuery query{className, title, childId, {}};
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&query));
  return query.found;
}

int FindAndPrint(const std::string& className, const std::string& title, int childId) {
  HWND found = nullptr;
  if (!WaitFor([&] {
        auto windows = TopLevelWindows(className, title, childId);
        found = windows.empty() ? nullptr : windows.front();
        return found != nullptr;
      }))
    return Fail("no window of class '" + className + "' titled '" + title + "'");
  PrintHandle(found);
  return 0;
}

HWND Child(HWND parent, const std::string& id) { return GetDlgItem(parent, static_cast<int>(ParseNumber(id))); }

// Resolves HWND CTRLID to the child, failing when it does not exist.
bool ChildOf(const Args& a, size_t at, HWND& child) {
  child = Child(ParseHandle(a[at]), a[at + 1]);
  return child != nullptr;
}

bool IsMultiSelect(HWND list) {
  LONG style = GetWindowLongA(list, GWL_STYLE);
  return (style & (LBS_EXTENDEDSEL | LBS_MULTIPLESEL)) != 0;
}

void NotifyParent(HWND control, WORD code) {
  PostMessageA(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code),
               reinterpret_cast<LPARAM>(control));
}

// False when the list refuses an index (out of range), so a test cannot pick a wrong item unnoticed.
bool SelectItems(HWND list, const Args& indexes) {
  if (!IsMultiSelect(list)) {
    if (indexes.empty()) return true;
    long long index = ParseNumber(indexes.back());
    // LB_SETCURSEL answers LB_ERR also when -1 clears the selection as asked.
    return SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0) != LB_ERR || index == -1;
  }
  SendMessageA(list, LB_SETSEL, FALSE, -1);
  bool accepted = true;
  for (const std::string& index : indexes)
    accepted &= SendMessageA(list, LB_SETSEL, TRUE, static_cast<LPARAM>(ParseNumber(index))) != LB_ERR;
  return accepted;
}

// --- commands -------------------------------------------------------------------------------

int CmdFind(const Args& a) { return FindAndPrint(a[0], a[1], -1); }

int CmdCount(const Args& a) {
  std::printf("%zu\n", TopLevelWindows(a[0], a[1]).size());
  return 0;
}

int CmdFindDialog(const Args& a) { return FindAndPrint("#32770", a[0], static_cast<int>(ParseNumber(a[1]))); }

int CmdGone(const Args& a) {
  HWND window = ParseHandle(a[0]);
  return WaitFor([&] { return !IsWindow(window); }) ? 0 : Fail("window still exists");
}

// Waits until a named mutex exists: a program that takes one first of all is then running its
// own code, past everything Wine does to start it.
int CmdMutex(const Args& a) {
  bool exists = WaitFor([&] {
    HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, a[0].c_str());
    if (mutex) CloseHandle(mutex);
    return mutex != nullptr;
  });
  return exists ? 0 : Fail("no mutex " + a[0]);
}

int CmdChild(const Args& a) {
  HWND child;
  if (!ChildOf(a, 0, child)) return Fail("no child " + a[1]);
  PrintHandle(child);
  return 0;
}

struct ClassQuery {
  std::string className;
  HWND found = nullptr;
};

BOOL CALLBACK FindChildOfClass(HWND child, LPARAM param) {
  auto* query = reinterpret_cast<ClassQuery*>(param);
  if (ClassOf(child) != query->className) return TRUE;
  query->found = child;
  return FALSE;
}

int CmdFindChild(const Args& a) {
  ClassQuery query{a[1]};
  EnumChildWindows(ParseHandle(a[0]), FindChildOfClass, reinterpret_cast<LPARAM>(&query));
  if (!query.found) return Fail("no descendant of class " + a[1]);
  PrintHandle(query.found);
  return 0;
}

int CmdPost(const Args& a) {
  BOOL posted = PostMessageA(ParseHandle(a[0]), ParseMessage(a[1]), static_cast<WPARAM>(ParseNumber(a[2])),
                             static_cast<LPARAM>(ParseNumber(a[3])));
  return posted ? 0 : Fail("PostMessage failed");
}

int CmdSend(const Args& a) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(ParseHandle(a[0]), ParseMessage(a[1]), static_cast<WPARAM>(ParseNumber(a[2])),
                           static_cast<LPARAM>(ParseNumber(a[3])), SMTO_ABORTIFHUNG,
                           static_cast<UINT>(g_timeoutSeconds * 1000), &result))
    return Fail("SendMessage timed out");
  std::printf("%lld\n", static_cast<long long>(result));
  return 0;
}

int CmdCommand(const Args& a) {
  return PostMessageA(ParseHandle(a[0]), WM_COMMAND, MAKEWPARAM(ParseNumber(a[1]), 0), 0) ? 0 : Fail("post failed");
}

int CmdClick(const Args& a) {
  HWND button;
  if (!ChildOf(a, 0, button)) return Fail("no button " + a[1]);
  return PostMessageA(ParseHandle(a[0]), WM_COMMAND, MAKEWPARAM(ParseNumber(a[1]), BN_CLICKED),
                      reinterpret_cast<LPARAM>(button))
             ? 0
             : Fail("post failed");
}

// As click, but sent: returns once the click has been handled (up to -t), so that a test can
// look at its outcome without waiting an arbitrary time. Not for a click that opens a modal window.
int CmdClickSync(const Args& a) {
  HWND button;
  if (!ChildOf(a, 0, button)) return Fail("no button " + a[1]);
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(ParseHandle(a[0]), WM_COMMAND, MAKEWPARAM(ParseNumber(a[1]), BN_CLICKED),
                           reinterpret_cast<LPARAM>(button), SMTO_ABORTIFHUNG,
                           static_cast<UINT>(g_timeoutSeconds * 1000), &result))
    return Fail("the click was not handled in time");
  return 0;
}

int CmdEnabled(const Args& a) {
  HWND child;
  if (!ChildOf(a, 0, child)) return Fail("no child " + a[1]);
  std::printf("%d\n", IsWindowEnabled(child) ? 1 : 0);
  return 0;
}

int CmdStyle(const Args& a) {
  HWND window = ParseHandle(a[0]);
  if (!IsWindow(window)) return Fail("no window " + a[0]);
  if (a.size() > 1 && !(window = Child(window, a[1]))) return Fail("no child " + a[1]);
  std::printf("0x%08lx\n", static_cast<unsigned long>(GetWindowLongA(window, GWL_STYLE)));
  return 0;
}

int CmdText(const Args& a) {
  HWND window = ParseHandle(a[0]);
  if (!IsWindow(window)) return Fail("no window " + a[0]);
  if (a.size() > 1 && !(window = Child(window, a[1]))) return Fail("no child " + a[1]);
  std::printf("%s\n", WindowText(window).c_str());
  return 0;
}

int CmdSetText(const Args& a) {
  HWND child;
  if (!ChildOf(a, 0, child)) return Fail("no child " + a[1]);
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(child, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(a[2].c_str()), SMTO_ABORTIFHUNG, 5000,
                           &result))
    return Fail("WM_SETTEXT timed out");
  return 0;
}

BOOL CALLBACK PrintChild(HWND child, LPARAM) {
  std::printf("%d\t%s\t%s\n", GetDlgCtrlID(child), ClassOf(child).c_str(), WindowText(child).c_str());
  return TRUE;
}

int CmdTexts(const Args& a) {
  HWND window = ParseHandle(a[0]);
  if (!IsWindow(window)) return Fail("no window " + a[0]);
  EnumChildWindows(window, PrintChild, 0);
  return 0;
}

BOOL CALLBACK PrintStaticText(HWND child, LPARAM) {
  std::string className = ClassOf(child);
  if (_stricmp(className.c_str(), "Static") == 0) {
    std::string text = WindowText(child);
    if (!text.empty()) std::printf("%s\n", text.c_str());
  }
  return TRUE;
}

int CmdMsgBox(const Args& a) {
  HWND box = nullptr;
  if (!WaitFor([&] {
        auto windows = TopLevelWindows("#32770", a[0]);
        box = windows.empty() ? nullptr : windows.front();
        return box != nullptr;
      }))
    return Fail("no message box titled '" + a[0] + "'");
  EnumChildWindows(box, PrintStaticText, 0);
  return 0;
}

// Every matching top-level window, one handle a line, without waiting (windows share titles).
int CmdFindAll(const Args& a) {
  for (HWND window : TopLevelWindows(a[0], a[1])) PrintHandle(window);
  return 0;
}

// The message text of one message box, chosen by its handle.
int CmdBoxText(const Args& a) {
  HWND box = ParseHandle(a[0]);
  if (!IsWindow(box)) return Fail("no window " + a[0]);
  EnumChildWindows(box, PrintStaticText, 0);
  return 0;
}

int CmdListItems(const Args& a) {
  HWND list;
  if (!ChildOf(a, 0, list)) return Fail("no list " + a[1]);
  LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  std::printf("%lld\n", static_cast<long long>(count));
  for (LRESULT i = 0; i < count; ++i) {
    LRESULT data = SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(i), 0);
    std::printf("%lld %lld 0x%llx\n", static_cast<long long>(i), static_cast<long long>(static_cast<int32_t>(data)),
                static_cast<unsigned long long>(static_cast<uint32_t>(data)));
  }
  return 0;
}

int CmdListSelection(const Args& a) {
  HWND list;
  if (!ChildOf(a, 0, list)) return Fail("no list " + a[1]);
  if (!IsMultiSelect(list)) {
    LRESULT current = SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (current != LB_ERR) std::printf("%lld\n", static_cast<long long>(current));
    return 0;
  }
  LRESULT count = SendMessageA(list, LB_GETSELCOUNT, 0, 0);
  if (count <= 0) return 0;
  std::vector<int> selected(static_cast<size_t>(count));
  count = SendMessageA(list, LB_GETSELITEMS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(selected.data()));
  for (LRESULT i = 0; i < count; ++i) std::printf("%d\n", selected[static_cast<size_t>(i)]);
  return 0;
}

int CmdListSelect(const Args& a) {
  HWND list;
  if (!ChildOf(a, 0, list)) return Fail("no list " + a[1]);
  if (!SelectItems(list, Args(a.begin() + 2, a.end()))) return Fail("the list has no such item");
  NotifyParent(list, LBN_SELCHANGE);
  return 0;
}

int CmdListDoubleClick(const Args& a) {
  HWND list;
  if (!ChildOf(a, 0, list)) return Fail("no list " + a[1]);
  if (!SelectItems(list, Args{a[2]})) return Fail("the list has no item " + a[2]);
  NotifyParent(list, LBN_DBLCLK);
  return 0;
}

// The open-file dialog: its file-name box is combo cmb13 (0x47C) or edit edt1 (0x480). Fills in
// the path and presses OK; the dialog, or none when there was none.
HWND FillOpenFileDialog(const std::string& title, const std::string& path) {
  HWND dialog = nullptr, nameBox = nullptr;
  if (!WaitFor([&] {
        for (HWND candidate : TopLevelWindows("#32770", title)) {
          nameBox = GetDlgItem(candidate, 0x47C);
          if (!nameBox) nameBox = GetDlgItem(candidate, 0x480);
          if (nameBox) {
            dialog = candidate;
            return true;
          }
        }
        return false;
      }))
    return nullptr;
  DWORD_PTR result = 0;
  SendMessageTimeoutA(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()), SMTO_ABORTIFHUNG, 5000, &result);
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
  return dialog;
}

int CmdOpenFile(const Args& a) {
  return FillOpenFileDialog(a[0], a[1]) ? 0 : Fail("no open-file dialog titled '" + a[0] + "'");
}

// ---- timing, for the whole-program benchmark: each prints the milliseconds it measured ----

DWORD g_started = 0;
void StartClock() { g_started = GetTickCount(); }
int PrintElapsed() {
  std::printf("%lu\n", static_cast<unsigned long>(GetTickCount() - g_started));
  return 0;
}

// Polls every 5 ms (the shared 100 ms step would blur the figures).
bool WaitFast(const std::function<bool()>& done) {
  DWORD limit = static_cast<DWORD>(g_timeoutSeconds * 1000);
  for (;;) {
    if (done()) return true;
    if (GetTickCount() - g_started >= limit) return false;
    Sleep(5);
  }
}

// Starts a program in the current folder; the time until its visible window shows.
int CmdLaunch(const Args& a) {
  std::string commandLine = a[2];
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  StartClock();
  if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return Fail("cannot start " + a[2]);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  if (!WaitFast([&] { return !TopLevelWindows(a[0], a[1]).empty(); })) return Fail("no window " + a[1]);
  return PrintElapsed();
}

// Sends a message and waits for its handling to end, however long (up to -t).
int CmdTimedSend(const Args& a) {
  DWORD_PTR result = 0;
  StartClock();
  if (!SendMessageTimeoutA(ParseHandle(a[0]), ParseMessage(a[1]), static_cast<WPARAM>(ParseNumber(a[2])),
                           static_cast<LPARAM>(ParseNumber(a[3])), SMTO_ABORTIFHUNG,
                           static_cast<UINT>(g_timeoutSeconds * 1000), &result))
    return Fail("SendMessage timed out");
  return PrintElapsed();
}

// Selects exactly the items FIRST to LAST of a multiple-selection list and notifies the parent.
int CmdListSelectRange(const Args& a) {
  HWND list;
  if (!ChildOf(a, 0, list)) return Fail("no list " + a[1]);
  UINT wait = static_cast<UINT>(g_timeoutSeconds * 1000);
  DWORD_PTR result = 0;
  SendMessageTimeoutA(list, LB_SETSEL, FALSE, -1, SMTO_ABORTIFHUNG, wait, &result);
  if (!SendMessageTimeoutA(list, LB_SELITEMRANGEEX, static_cast<WPARAM>(ParseNumber(a[2])),
                           static_cast<LPARAM>(ParseNumber(a[3])), SMTO_ABORTIFHUNG, wait, &result) ||
      static_cast<LRESULT>(result) == LB_ERR)
    return Fail("the list refused the range");
  NotifyParent(list, LBN_SELCHANGE);
  return 0;
}

// Fills the open-file dialog and presses OK; from the moment the dialog is gone (the program's
// work begins), the time until the list holds COUNT items. The dialog's own closing time goes
// to stderr.
int CmdOpenFileTimed(const Args& a) {
  HWND dialog = FillOpenFileDialog(a[0], a[1]);
  if (!dialog) return Fail("no open-file dialog titled '" + a[0] + "'");
  StartClock();
  if (!WaitFast([&] { return !IsWindow(dialog); })) return Fail("the open-file dialog stayed");
  std::fprintf(stderr, "open-file dialog closed after %lu ms\n", static_cast<unsigned long>(GetTickCount() - g_started));
  StartClock();
  HWND list;
  if (!ChildOf(a, 2, list)) return Fail("no list " + a[3]);
  long long wanted = ParseNumber(a[4]);
  UINT wait = static_cast<UINT>(g_timeoutSeconds * 1000);
  if (!WaitFast([&] {
        DWORD_PTR count = 0;
        return SendMessageTimeoutA(list, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, wait, &count) &&
               static_cast<long long>(count) == wanted;
      }))
    return Fail("the list never held " + a[4] + " items");
  return PrintElapsed();
}

int CmdRect(const Args& a) {
  RECT r;
  if (!GetWindowRect(ParseHandle(a[0]), &r)) return Fail("no such window");
  std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
  return 0;
}

int CmdClient(const Args& a) {
  HWND window = ParseHandle(a[0]);
  RECT r;
  POINT origin = {0, 0};
  if (!GetClientRect(window, &r) || !ClientToScreen(window, &origin)) return Fail("no such window");
  std::printf("%ld %ld %ld %ld\n", r.right, r.bottom, origin.x, origin.y);
  return 0;
}

int CmdSendAddr(const Args& a) {
  UINT message = RegisterWindowMessageA("WM_SENDADDR");
  HWND host = nullptr;
  if (!WaitFor([&] { return (host = FindWindowA(nullptr, "Port Settings(Velmora Quillon)")) != nullptr; }))
    return Fail("no host window");
  ATOM atom = GlobalAddAtomA(a[0].c_str());
  if (!atom) return Fail("GlobalAddAtom failed");
  if (!PostMessageA(host, message, atom, static_cast<LPARAM>(ParseNumber(a[1])))) {
    GlobalDeleteAtom(atom);
    return Fail("post failed");
  }
  std::printf("%u\n", atom);
  return 0;
}

int CmdWaitText(const Args& a) {
  HWND child;
  if (!ChildOf(a, 0, child)) return Fail("no child " + a[1]);
  return WaitFor([&] { return WindowText(child) == a[2]; }) ? 0 : Fail("text is '" + WindowText(child) + "'");
}


// ---- accessible objects, read out of process as a screen reader reads them ------------------

const IID kIidAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// The window's client object through AccessibleObjectFromWindow (COM set up for this process).
IAccessible* ClientObject(HWND window) {
  static bool comReady = SUCCEEDED(CoInitialize(nullptr));
  if (!comReady || !IsWindow(window)) return nullptr;
  IAccessible* object = nullptr;
  if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), kIidAccessible,
                                        reinterpret_cast<void**>(&object))))
    return nullptr;
  return object;
}

VARIANT ChildVariant(long child) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = child;
  return v;
}

std::string Narrow(BSTR text) {
  if (!text) return "";
  int length = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<size_t>(length > 0 ? length : 1), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, -1, &result[0], length, nullptr, nullptr);
  result.resize(std::strlen(result.c_str()));
  SysFreeString(text);
  return result;
}

std::string RoleName(long role) {
  static const struct {
    long role;
    const char* name;
  } kRoles[] = {{ROLE_SYSTEM_LIST, "list"},           {ROLE_SYSTEM_LISTITEM, "listitem"},
                {ROLE_SYSTEM_TOOLBAR, "toolbar"},     {ROLE_SYSTEM_PUSHBUTTON, "pushbutton"},
                {ROLE_SYSTEM_COLUMNHEADER, "columnheader"}, {ROLE_SYSTEM_STATUSBAR, "statusbar"},
                {ROLE_SYSTEM_CLIENT, "client"},       {ROLE_SYSTEM_WINDOW, "window"}};
  for (const auto& entry : kRoles)
    if (entry.role == role) return entry.name;
  return std::to_string(role);
}

std::string StateNames(long state) {
  static const struct {
    long bit;
    const char* name;
  } kStates[] = {{STATE_SYSTEM_UNAVAILABLE, "unavailable"}, {STATE_SYSTEM_SELECTED, "selected"},
                 {STATE_SYSTEM_FOCUSED, "focused"},         {STATE_SYSTEM_INVISIBLE, "invisible"},
                 {STATE_SYSTEM_OFFSCREEN, "offscreen"},     {STATE_SYSTEM_FOCUSABLE, "focusable"},
                 {STATE_SYSTEM_SELECTABLE, "selectable"},   {STATE_SYSTEM_MULTISELECTABLE, "multiselectable"},
                 {STATE_SYSTEM_EXTSELECTABLE, "extselectable"}};
  std::string names;
  for (const auto& entry : kStates) {
    if (!(state & entry.bit)) continue;
    if (!names.empty()) names += "+";
    names += entry.name;
  }
  return names.empty() ? "normal" : names;
}

// "ROLE<TAB>STATES<TAB>NAME" of the object itself (0) or one child.
std::string Describe(IAccessible* object, long child) {
  VARIANT which = ChildVariant(child), role, state;
  VariantInit(&role);
  VariantInit(&state);
  BSTR name = nullptr;
  object->get_accRole(which, &role);
  object->get_accState(which, &state);
  object->get_accName(which, &name);
  return RoleName(role.vt == VT_I4 ? role.lVal : -1) + "\t" + StateNames(state.vt == VT_I4 ? state.lVal : 0) + "\t" +
         Narrow(name);
}

long ChildCountOf(IAccessible* object) {
  long count = -1;
  object->get_accChildCount(&count);
  return count;
}

// `acc HWND`: the client object's role, states, name and child count.
int CmdAcc(const Args& a) {
  IAccessible* object = ClientObject(ParseHandle(a[0]));
  if (!object) return Fail("no accessible object for " + a[0]);
  std::printf("%s\t%ld\n", Describe(object, 0).c_str(), ChildCountOf(object));
  object->Release();
  return 0;
}

// `acc-items HWND [FIRST [COUNT]]`: "CHILD<TAB>ROLE<TAB>STATES<TAB>NAME" per child (from 1).
int CmdAccItems(const Args& a) {
  IAccessible* object = ClientObject(ParseHandle(a[0]));
  if (!object) return Fail("no accessible object for " + a[0]);
  long count = ChildCountOf(object);
  long first = a.size() > 1 ? static_cast<long>(ParseNumber(a[1])) : 1;
  long last = a.size() > 2 ? first + static_cast<long>(ParseNumber(a[2])) - 1 : count;
  if (last > count) last = count;
  for (long child = first; child <= last; ++child) std::printf("%ld\t%s\n", child, Describe(object, child).c_str());
  object->Release();
  return 0;
}

// `acc-action HWND CHILD`: the child's default action name and its location "x y w h".
int CmdAccAction(const Args& a) {
  IAccessible* object = ClientObject(ParseHandle(a[0]));
  if (!object) return Fail("no accessible object for " + a[0]);
  VARIANT which = ChildVariant(static_cast<long>(ParseNumber(a[1])));
  BSTR action = nullptr;
  long x = 0, y = 0, w = 0, h = 0;
  object->get_accDefaultAction(which, &action);
  object->accLocation(&x, &y, &w, &h, which);
  std::printf("%s\t%ld %ld %ld %ld\n", Narrow(action).c_str(), x, y, w, h);
  object->Release();
  return 0;
}

// `acc-do HWND CHILD`: does the child's default action.
int CmdAccDo(const Args& a) {
  IAccessible* object = ClientObject(ParseHandle(a[0]));
  if (!object) return Fail("no accessible object for " + a[0]);
  HRESULT done = object->accDoDefaultAction(ChildVariant(static_cast<long>(ParseNumber(a[1]))));
  object->Release();
  return SUCCEEDED(done) ? 0 : Fail("the default action was refused");
}

// `acc-select HWND CHILD FLAGS`: accSelect with SELFLAG_ bits (1 focus, 2 take, 8 add, 16 remove).
int CmdAccSelect(const Args& a) {
  IAccessible* object = ClientObject(ParseHandle(a[0]));
  if (!object) return Fail("no accessible object for " + a[0]);
  HRESULT done = object->accSelect(static_cast<long>(ParseNumber(a[2])), ChildVariant(static_cast<long>(ParseNumber(a[1]))));
  object->Release();
  return SUCCEEDED(done) ? 0 : Fail("the selection was refused");
}

void PrintChildVariant(const VARIANT& v) {
  if (v.vt == VT_I4) {
    std::printf("%ld\n", v.lVal);
  } else if (v.vt == VT_UNKNOWN && v.punkVal) {
    const IID kIidEnumVariant = {0x00020404, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
    IEnumVARIANT* children = nullptr;
    if (SUCCEEDED(v.punkVal->QueryInterface(kIidEnumVariant, reinterpret_cast<void**>(&children)))) {
      VARIANT child;
      ULONG fetched = 0;
      while (children->Next(1, &child, &fetched) == S_OK && fetched == 1) PrintChildVariant(child);
      children->Release();
    }
  }
}

// `acc-focus HWND` / `acc-selection HWND`: the focused child, the selected children (one a line).
int PrintAnswer(const Args& a, HRESULT (STDMETHODCALLTYPE IAccessible::*ask)(VARIANT*)) {
  IAccessible* object = ClientObject(ParseHandle(a[0]));
  if (!object) return Fail("no accessible object for " + a[0]);
  VARIANT answer;
  VariantInit(&answer);
  (object->*ask)(&answer);
  PrintChildVariant(answer);
  VariantClear(&answer);
  object->Release();
  return 0;
}

int CmdAccFocus(const Args& a) { return PrintAnswer(a, &IAccessible::get_accFocus); }
int CmdAccSelection(const Args& a) { return PrintAnswer(a, &IAccessible::get_accSelection); }

// `acc-navigate HWND CHILD DIRECTION`: accNavigate with NAVDIR_ (5 next, 6 previous, 7 first, 8 last).
int CmdAccNavigate(const Args& a) {
  IAccessible* object = ClientObject(ParseHandle(a[0]));
  if (!object) return Fail("no accessible object for " + a[0]);
  VARIANT end;
  VariantInit(&end);
  object->accNavigate(static_cast<long>(ParseNumber(a[2])), ChildVariant(static_cast<long>(ParseNumber(a[1]))), &end);
  PrintChildVariant(end);
  object->Release();
  return 0;
}

// ---- accessibility events, as a screen reader hears them ----

HWND g_eventWindow = nullptr;

const char* EventName(DWORD event) {
  switch (event) {
    case EVENT_OBJECT_FOCUS: return "focus";
    case EVENT_OBJECT_SELECTION: return "selection";
    case EVENT_OBJECT_SELECTIONADD: return "selectionadd";
    case EVENT_OBJECT_SELECTIONREMOVE: return "selectionremove";
    case EVENT_OBJECT_SELECTIONWITHIN: return "selectionwithin";
    case EVENT_OBJECT_REORDER: return "reorder";
    case EVENT_OBJECT_NAMECHANGE: return "namechange";
    default: return nullptr;
  }
}

void CALLBACK PrintEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
  const char* name = EventName(event);
  if (!name || window != g_eventWindow || object != OBJID_CLIENT) return;
  std::printf("%s %ld\n", name, static_cast<long>(child));
  std::fflush(stdout);
}

// `acc-events HWND SECONDS`: prints "READY", then for SECONDS each client event of the window
// a reader listens for ("focus 3", "reorder 0", "namechange 0" ...), one a line.
int CmdAccEvents(const Args& a) {
  g_eventWindow = ParseHandle(a[0]);
  // Events of every process; the callback keeps the window's own.
  HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_REORDER, EVENT_OBJECT_NAMECHANGE, nullptr, PrintEvent, 0, 0,
                                       WINEVENT_OUTOFCONTEXT);
  if (!hook) return Fail("SetWinEventHook failed");
  std::printf("READY\n");
  std::fflush(stdout);
  DWORD start = GetTickCount();
  DWORD limit = static_cast<DWORD>(ParseNumber(a[1]) * 1000);
  while (GetTickCount() - start < limit) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }
  UnhookWinEvent(hook);
  return 0;
}

// `focused HWND`: the keyboard focus of the window's thread as "ID<TAB>CLASS<TAB>TEXT".
int CmdFocused(const Args& a) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(ParseHandle(a[0]), nullptr), &info)) return Fail("no thread info");
  if (!info.hwndFocus) return Fail("no window has the focus");
  PrintChild(info.hwndFocus, 0);
  return 0;
}

// `type HWND TEXT`: posts WM_CHAR for each character at once, as quick typing gives them.
// `settext-timed HWND CTRLID TEXT LISTOWNER LISTID COUNT`: sets the text and prints the
// milliseconds until the list holds COUNT items (the search box narrows after its text changed).
int CmdSetTextTimed(const Args& a) {
  HWND edit, list;
  if (!ChildOf(a, 0, edit)) return Fail("no child " + a[1]);
  if (!ChildOf(a, 3, list)) return Fail("no list " + a[4]);
  long long wanted = ParseNumber(a[5]);
  UINT wait = static_cast<UINT>(g_timeoutSeconds * 1000);
  StartClock();
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(a[2].c_str()), SMTO_ABORTIFHUNG, wait, &result))
    return Fail("WM_SETTEXT timed out");
  if (!WaitFast([&] {
        DWORD_PTR count = 0;
        return SendMessageTimeoutA(list, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, wait, &count) &&
               static_cast<long long>(count) == wanted;
      }))
    return Fail("the list never held " + a[5] + " items");
  return PrintElapsed();
}

int CmdType(const Args& a) {
  HWND window = ParseHandle(a[0]);
  for (unsigned char c : a[1])
    if (!PostMessageA(window, WM_CHAR, c, 1)) return Fail("post failed");
  return 0;
}

// `acc-timed HWND NAMES`: milliseconds to get the object, its child count and NAMES names.
int CmdAccTimed(const Args& a) {
  StartClock();
  IAccessible* object = ClientObject(ParseHandle(a[0]));
  if (!object) return Fail("no accessible object for " + a[0]);
  long count = ChildCountOf(object);
  long names = static_cast<long>(ParseNumber(a[1]));
  for (long child = 1; child <= names && child <= count; ++child) {
    BSTR name = nullptr;
    object->get_accName(ChildVariant(child), &name);
    SysFreeString(name);
  }
  object->Release();
  std::fprintf(stderr, "%ld children\n", count);
  return PrintElapsed();
}

// ---- accessible objects: answers to odd questions, as a careless reader asks them ----

std::string HresultText(HRESULT result) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(result));
  return text;
}

// `acc-hit HWND X Y`: accHitTest at the screen point; the child, 0 for the object, "none" outside.
int CmdAccHit(const Args& a) {
  IAccessible* object = ClientObject(ParseHandle(a[0]));
  if (!object) return Fail("no accessible object for " + a[0]);
  VARIANT hit;
  VariantInit(&hit);
  HRESULT result = object->accHitTest(static_cast<long>(ParseNumber(a[1])), static_cast<long>(ParseNumber(a[2])), &hit);
  if (result == S_OK && hit.vt == VT_I4) std::printf("%ld\n", hit.lVal);
  else std::printf("none %s\n", HresultText(result).c_str());
  VariantClear(&hit);
  object->Release();
  return 0;
}

// `acc-select-hr HWND CHILD FLAGS`: accSelect's own answer, as "0xHHHHHHHH".
int CmdAccSelectResult(const Args& a) {
  IAccessible* object = ClientObject(ParseHandle(a[0]));
  if (!object) return Fail("no accessible object for " + a[0]);
  HRESULT done = object->accSelect(static_cast<long>(ParseNumber(a[2])), ChildVariant(static_cast<long>(ParseNumber(a[1]))));
  std::printf("%s\n", HresultText(done).c_str());
  object->Release();
  return 0;
}

// `acc-probe HWND CHILD`: "CALL<TAB>0xHHHHHHHH" for get_accChild of CHILD and for each question
// asked with a null out pointer.
int CmdAccProbe(const Args& a) {
  IAccessible* object = ClientObject(ParseHandle(a[0]));
  if (!object) return Fail("no accessible object for " + a[0]);
  VARIANT self = ChildVariant(0), child = ChildVariant(static_cast<long>(ParseNumber(a[1])));
  IDispatch* dispatch = nullptr;
  HRESULT asked = object->get_accChild(child, &dispatch);
  if (dispatch) dispatch->Release();
  std::printf("child\t%s\n", HresultText(asked).c_str());
  long number = 0;
  const struct {
    const char* name;
    HRESULT result;
  } nulls[] = {
      {"child-null", object->get_accChild(self, nullptr)},
      {"name-null", object->get_accName(self, nullptr)},
      {"role-null", object->get_accRole(self, nullptr)},
      {"state-null", object->get_accState(self, nullptr)},
      {"action-null", object->get_accDefaultAction(self, nullptr)},
      {"count-null", object->get_accChildCount(nullptr)},
      {"focus-null", object->get_accFocus(nullptr)},
      {"selection-null", object->get_accSelection(nullptr)},
      {"location-null", object->accLocation(nullptr, &number, &number, &number, self)},
      {"hit-null", object->accHitTest(0, 0, nullptr)},
      {"navigate-null", object->accNavigate(NAVDIR_FIRSTCHILD, self, nullptr)},
      {"topic-null", object->get_accHelpTopic(nullptr, self, &number)},
      {"value-null", object->get_accValue(self, nullptr)},
  };
  for (const auto& probe : nulls) std::printf("%s\t%s\n", probe.name, HresultText(probe.result).c_str());
  object->Release();
  return 0;
}

// The executable's version resource: the fixed file version, then each named value, one a line.
int CmdVersion(const Args& a) {
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(a[0].c_str(), &ignored);
  if (size == 0) return Fail("no version resource in " + a[0]);
  std::vector<char> info(size);
  if (!GetFileVersionInfoA(a[0].c_str(), 0, size, info.data())) return Fail("GetFileVersionInfoA failed");
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length) || !fixed)
    return Fail("no fixed file info");
  std::printf("fixed %u.%u.%u.%u\n", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
              HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
  WORD* translation = nullptr;
  if (!VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length) ||
      length < 4)
    return Fail("no translation");
  char block[64];
  std::snprintf(block, sizeof(block), "\\StringFileInfo\\%04x%04x\\", translation[0], translation[1]);
  std::printf("translation %04x %u\n", translation[0], translation[1]);
  for (const char* name : {"FileVersion", "ProductVersion", "FileDescription", "ProductName", "InternalName",
                           "OriginalFilename", "LegalCopyright"}) {
    char* value = nullptr;
    if (VerQueryValueA(info.data(), (std::string(block) + name).c_str(), reinterpret_cast<void**>(&value), &length) &&
        value)
      std::printf("%s %s\n", name, value);
  }
  return 0;
}

// The application manifest (resource type 24, id 1) of an executable, as it is stored.
int CmdManifest(const Args& a) {
  HMODULE module = LoadLibraryExA(a[0].c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) return Fail("cannot load " + a[0]);
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
  HGLOBAL data = found ? LoadResource(module, found) : nullptr;
  const char* text = data ? static_cast<const char*>(LockResource(data)) : nullptr;
  if (!text) {
    FreeLibrary(module);
    return Fail("no manifest (type 24, id 1) in " + a[0]);
  }
  std::fwrite(text, 1, SizeofResource(module, found), stdout);
  FreeLibrary(module);
  return 0;
}

// ---- string lists and drop-down lists (the duplicates dialog) ----
// Each item's text, one a line, of a list box with strings (LB_GETTEXT) or a combo box
// (CB_GETLBTEXT). Asked in UTF-16: Wine hands the ANSI form across processes as UTF-16 all the same.
int PrintItemTexts(HWND control, UINT countMessage, UINT lengthMessage, UINT textMessage) {
  LRESULT count = SendMessageW(control, countMessage, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    LRESULT length = SendMessageW(control, lengthMessage, static_cast<WPARAM>(i), 0);
    std::wstring wide(length > 0 ? static_cast<size_t>(length) + 1 : 1, L'\0');
    SendMessageW(control, textMessage, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide.data()));
    char text[1024] = {};
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, text, sizeof text - 1, nullptr, nullptr);
    std::printf("%s\n", text);
  }
  return 0;
}

int CmdListTexts(const Args& a) {
  HWND list;
  if (!ChildOf(a, 0, list)) return Fail("no list " + a[1]);
  return PrintItemTexts(list, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
}

int CmdComboTexts(const Args& a) {
  HWND combo;
  if (!ChildOf(a, 0, combo)) return Fail("no combo box " + a[1]);
  return PrintItemTexts(combo, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
}

// Selects item IDX of the combo box and tells its parent, as a choice with the mouse does.
int CmdComboSelect(const Args& a) {
  HWND combo;
  if (!ChildOf(a, 0, combo)) return Fail("no combo box " + a[1]);
  LRESULT at = SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(ParseNumber(a[2])), 0);
  if (at == CB_ERR) return Fail("the combo box has no item " + a[2]);
  NotifyParent(combo, CBN_SELCHANGE);
  return 0;
}

// ---- printers (the print test) ----
// Adds printer NAME on PORT ("FILE:" prompts for a file name when a document starts) with the
// driver of the printer LIKE, so that the printer works as that one does apart from its port.
int CmdAddPrinter(const Args& a) {
  HANDLE like = nullptr;
  if (!OpenPrinterA(const_cast<char*>(a[2].c_str()), &like, nullptr)) return Fail("no printer " + a[2]);
  DWORD needed = 0;
  GetPrinterA(like, 2, nullptr, 0, &needed);
  std::vector<BYTE> buffer(needed ? needed : 1);
  BOOL read = GetPrinterA(like, 2, buffer.data(), needed, &needed);
  ClosePrinter(like);
  if (!read) return Fail("cannot read printer " + a[2]);
  PRINTER_INFO_2A info = *reinterpret_cast<PRINTER_INFO_2A*>(buffer.data());
  info.pPrinterName = const_cast<char*>(a[0].c_str());
  info.pPortName = const_cast<char*>(a[1].c_str());
  info.pShareName = nullptr;
  info.pDevMode = nullptr;
  info.Attributes &= ~static_cast<DWORD>(PRINTER_ATTRIBUTE_DEFAULT);
  HANDLE added = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&info));
  if (!added) return Fail("AddPrinter failed with error " + std::to_string(GetLastError()));
  ClosePrinter(added);
  return 0;
}

int CmdDeletePrinter(const Args& a) {
  HANDLE printer = nullptr;
  if (!OpenPrinterA(const_cast<char*>(a[0].c_str()), &printer, nullptr)) return 0;  // gone already
  BOOL deleted = DeletePrinter(printer);
  ClosePrinter(printer);
  return deleted ? 0 : Fail("DeletePrinter failed with error " + std::to_string(GetLastError()));
}

// ---- command-timed, for the whole-program benchmark ----

int Usage();

bool LastWrite(const std::string& path, FILETIME& time) {
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return false;
  time = data.ftLastWriteTime;
  return true;
}

// `command-timed HWND ID list TITLE CTRLID COUNT` or `command-timed HWND ID file PATH`: posts the
// command and prints the milliseconds until a dialog of that title holds the list with COUNT
// items, or until PATH has been written anew (a sync rewrites its state file last of all).
int CmdCommandTimed(const Args& a) {
  HWND window = ParseHandle(a[0]);
  std::function<bool()> done;
  FILETIME before = {};
  bool existed = false;
  if (a.size() == 6 && a[2] == "list") {
    int listId = static_cast<int>(ParseNumber(a[4]));
    long long wanted = ParseNumber(a[5]);
    done = [&a, listId, wanted] {
      for (HWND dialog : TopLevelWindows("#32770", a[3], listId)) {
        DWORD_PTR count = 0;
        if (SendMessageTimeoutA(GetDlgItem(dialog, listId), LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 1000, &count) &&
            static_cast<long long>(count) == wanted)
          return true;
      }
      return false;
    };
  } else if (a.size() == 4 && a[2] == "file") {
    existed = LastWrite(a[3], before);
    done = [&a, &before, existed] {
      FILETIME now = {};
      return LastWrite(a[3], now) && (!existed || CompareFileTime(&now, &before) != 0);
    };
  } else {
    return Usage();
  }
  StartClock();
  if (!PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(ParseNumber(a[1])), 0)) return Fail("post failed");
  if (!WaitFast(done)) return Fail("command " + a[1] + ": the awaited " + a[2] + " never came");
  return PrintElapsed();
}

struct Command {
  const char* name;
  size_t minArgs;
  int (*run)(const Args&);
  const char* usage;
};

// Texts as hex bytes in the ANSI code page: a Japanese text cannot come through Wine's command
// line when no Unix locale of that language is installed.
std::string BytesOfHex(const std::string& hex) {
  std::string bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return bytes;
}

int CmdSetTextHex(const Args& a) {
  HWND child;
  if (!ChildOf(a, 0, child)) return Fail("no child " + a[1]);
  std::string text = BytesOfHex(a[2]);
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(child, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 5000, &result))
    return Fail("WM_SETTEXT timed out");
  return 0;
}

int CmdTextHex(const Args& a) {
  HWND child;
  if (!ChildOf(a, 0, child)) return Fail("no child " + a[1]);
  for (unsigned char c : WindowText(child)) std::printf("%02x", c);
  std::printf("\n");
  return 0;
}

const Command kCommands[] = {
    {"find", 2, CmdFind, "CLASS TITLE"},
    {"count", 2, CmdCount, "CLASS TITLE"},
    {"find-dialog", 2, CmdFindDialog, "TITLE CTRLID"},
    {"gone", 1, CmdGone, "HWND"},
    {"child", 2, CmdChild, "HWND CTRLID"},
    {"find-child", 2, CmdFindChild, "HWND CLASS"},
    {"post", 4, CmdPost, "HWND MSG WPARAM LPARAM"},
    {"send", 4, CmdSend, "HWND MSG WPARAM LPARAM"},
    {"command", 2, CmdCommand, "HWND ID"},
    {"click", 2, CmdClick, "HWND CTRLID"},
    {"enabled", 2, CmdEnabled, "HWND CTRLID"},
    {"style", 1, CmdStyle, "HWND [CTRLID]"},
    {"text", 1, CmdText, "HWND [CTRLID]"},
    {"settext", 3, CmdSetText, "HWND CTRLID TEXT"},
    {"texts", 1, CmdTexts, "HWND"},
    {"msgbox", 1, CmdMsgBox, "TITLE"},
    {"lb-items", 2, CmdListItems, "HWND CTRLID"},
    {"lb-sel", 2, CmdListSelection, "HWND CTRLID"},
    {"lb-select", 2, CmdListSelect, "HWND CTRLID IDX..."},
    {"lb-dblclick", 3, CmdListDoubleClick, "HWND CTRLID IDX"},
    {"openfile", 2, CmdOpenFile, "TITLE PATH"},
    {"launch", 3, CmdLaunch, "CLASS TITLE COMMANDLINE"},
    {"timed-send", 4, CmdTimedSend, "HWND MSG WPARAM LPARAM"},
    {"lb-select-range", 4, CmdListSelectRange, "HWND CTRLID FIRST LAST"},
    {"openfile-timed", 5, CmdOpenFileTimed, "TITLE PATH HWND CTRLID COUNT"},
    {"rect", 1, CmdRect, "HWND"},
    {"client", 1, CmdClient, "HWND"},
    {"sendaddr", 2, CmdSendAddr, "NAME LENGTH"},
    {"wait-text", 3, CmdWaitText, "HWND CTRLID TEXT"},
    {"find-all", 2, CmdFindAll, "CLASS TITLE"},
    {"box-text", 1, CmdBoxText, "HWND"},
    {"acc", 1, CmdAcc, "HWND"},
    {"acc-items", 1, CmdAccItems, "HWND [FIRST [COUNT]]"},
    {"acc-action", 2, CmdAccAction, "HWND CHILD"},
    {"acc-do", 2, CmdAccDo, "HWND CHILD"},
    {"acc-select", 3, CmdAccSelect, "HWND CHILD FLAGS"},
    {"acc-focus", 1, CmdAccFocus, "HWND"},
    {"acc-selection", 1, CmdAccSelection, "HWND"},
    {"acc-navigate", 3, CmdAccNavigate, "HWND CHILD DIRECTION"},
    {"acc-timed", 2, CmdAccTimed, "HWND NAMES"},
    {"type", 2, CmdType, "HWND TEXT"},
    {"acc-events", 2, CmdAccEvents, "HWND SECONDS"},
    {"focused", 1, CmdFocused, "HWND"},
    {"version", 1, CmdVersion, "EXE"},
    {"manifest", 1, CmdManifest, "EXE"},
    {"click-sync", 2, CmdClickSync, "HWND CTRLID"},
    {"mutex", 1, CmdMutex, "NAME"},
    {"settext-timed", 6, CmdSetTextTimed, "HWND CTRLID TEXT LISTOWNER LISTID COUNT"},
    {"lb-texts", 2, CmdListTexts, "HWND CTRLID"},
    {"cb-texts", 2, CmdComboTexts, "HWND CTRLID"},
    {"cb-select", 3, CmdComboSelect, "HWND CTRLID IDX"},
    {"acc-hit", 3, CmdAccHit, "HWND X Y"},
    {"acc-select-hr", 3, CmdAccSelectResult, "HWND CHILD FLAGS"},
    {"acc-probe", 2, CmdAccProbe, "HWND CHILD"},
    {"settext-hex", 3, CmdSetTextHex, "HWND CTRLID HEX"},
    {"text-hex", 2, CmdTextHex, "HWND CTRLID"},
    {"add-printer", 3, CmdAddPrinter, "NAME PORT LIKE"},
    {"delete-printer", 1, CmdDeletePrinter, "NAME"},
    {"command-timed", 4, CmdCommandTimed, "HWND ID list TITLE CTRLID COUNT | HWND ID file PATH"},
};

int Usage() {
  std::fprintf(stderr, "usage: kaldriver [-t SECONDS] [-a] COMMAND ARGS...\n");
  for (const Command& command : kCommands) std::fprintf(stderr, "  %s %s\n", command.name, command.usage);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  int at = 1;
  for (; at < argc && argv[at][0] == '-' && argv[at][1] != 0; ++at) {
    if (std::strcmp(argv[at], "-t") == 0 && at + 1 < argc) g_timeoutSeconds = std::atof(argv[++at]);
    else if (std::strcmp(argv[at], "-a") == 0) g_includeHidden = true;
    else return Usage();
  }
  if (at >= argc) return Usage();
  std::string name = argv[at];
  Args args(argv + at + 1, argv + argc);
  for (const Command& command : kCommands) {
    if (name != command.name) continue;
    if (args.size() < command.minArgs) return Usage();
    int result = command.run(args);
    std::fflush(stdout);
    return result;
  }
  return Usage();
}
