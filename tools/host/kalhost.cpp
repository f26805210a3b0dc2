// The host window the address book hands its recipients to, for tests and demonstrations.
// Usage: kalhost.exe LOGFILE. Opens "Port Settings(Velmora Quillon)" and appends one line per
// "WM_SENDADDR" it receives: the atom's name, the announced length and the file's bytes then.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

const char kHostTitle[] = "Port Settings(Velmora Quillon)";
std::string g_logPath = "kalhost.log";
UINT g_sendAddr = 0;

void AppendLog(const std::string& line) {
  if (FILE* log = std::fopen(g_logPath.c_str(), "ab")) {
    std::fputs(line.c_str(), log);
    std::fputc('\n', log);
    std::fclose(log);
  }
}

// Printable bytes as they are, everything else (and the backslash) as \xHH.
std::string Escaped(const std::string& bytes) {
  std::string out;
  char hex[8];
  for (unsigned char c : bytes) {
    if (c > 0x20 && c < 0x7F && c != '\\') {
      out += static_cast<char>(c);
    } else {
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  return out;
}

bool ReadFileBytes(const char* name, std::string& bytes) {
  FILE* file = std::fopen(name, "rb");
  if (!file) return false;
  char chunk[4096];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
  std::fclose(file);
  return true;
}

void LogHandOff(WPARAM wParam, LPARAM lParam) {
  ATOM atom = static_cast<ATOM>(wParam);
  char name[MAX_PATH] = "";
  GlobalGetAtomNameA(atom, name, sizeof name);
  std::string bytes;
  bool readable = ReadFileBytes(name, bytes);
  char head[MAX_PATH + 64];
  std::snprintf(head, sizeof head, "SENDADDR name=%s length=%ld size=%ld bytes=", name, static_cast<long>(lParam),
                readable ? static_cast<long>(bytes.size()) : -1L);
  AppendLog(head + Escaped(bytes));
  GlobalDeleteAtom(atom);
}

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (g_sendAddr != 0 && message == g_sendAddr) {
    LogHandOff(wParam, lParam);
    return 0;
  }
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateHostWindow(HINSTANCE instance) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = HostProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = "KalHostWindow";
  if (!RegisterClassA(&windowClass)) return nullptr;
  return CreateWindowExA(0, windowClass.lpszClassName, kHostTitle, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300,
                         120, nullptr, nullptr, instance, nullptr);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  std::string argument = commandLine ? commandLine : "";
  if (argument.size() >= 2 && argument.front() == '"' && argument.back() == '"')
    argument = argument.substr(1, argument.size() - 2);
  if (!argument.empty()) g_logPath = argument;
  g_sendAddr = RegisterWindowMessageA("WM_SENDADDR");
  HWND window = CreateHostWindow(instance);
  if (!window) return 1;
  char ready[64];
  std::snprintf(ready, sizeof ready, "READY hwnd=%llx", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
  AppendLog(ready);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
