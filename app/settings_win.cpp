#include "app/settings.h"

#include "app/column_widths.h"
#include "app/language.h"
#include "app/settings_files_win.h"
#include "app/shell_state.h"
#include "app/panes/panes.h"

namespace {

constexpr int kMessageBufferSize = 256;

void WriteInt(SettingsFiles& files, const char* section, const char* key, int value) {
  g_shell.settingsWrites.Write(files, section, key, value);
}

bool CarriesMenuOrDialog(const char* name) {
  return FindResourceA(g_shell.instance, name, RT_MENU) || FindResourceA(g_shell.instance, name, RT_DIALOG);
}

}  // namespace

void ReadLanguageSetting() {
  ProfileSettingsFiles files;
  g_shell.language = ReadSetting(files, "Application", "language", 0);
}

// A menu or dialog the language's set lacks is taken from the English set, so that a gap in a
// translation never keeps the program from starting or a command from working.
const char* LocalizedResourceName(const char* baseName) {
  static char name[kResourceNameSize];
  ComposeResourceName(name, baseName ? baseName : "", g_shell.language);
  if (!CarriesMenuOrDialog(name)) ComposeResourceName(name, baseName ? baseName : "", kEnglishLanguage);
  return name;
}

// A text the language's set lacks is the English one.
int LoadLocalString(HINSTANCE instance, UINT id, char* buffer, int bufferSize) {
  if (!buffer || bufferSize <= 0) return 0;
  buffer[0] = '\0';
  UINT localId = id + static_cast<UINT>(StringTableOffset(g_shell.language));
  int copied = LoadStringA(instance, localId, buffer, bufferSize);
  if (copied == 0 && localId != id) copied = LoadStringA(instance, id, buffer, bufferSize);
  if (copied > 0 && copied == bufferSize - 1) {  // cut to the buffer: never half a character
    copied = static_cast<int>(WholeCharactersLength(g_shell.store.codePage, std::string_view(buffer, copied)));
    buffer[copied] = '\0';
  }
  return copied;
}

void MessageBoxById(HWND owner, UINT textId, UINT captionId, UINT flags) {
  char text[kMessageBufferSize];
  char caption[kMessageBufferSize];
  LoadLocalString(g_shell.instance, textId, text, sizeof(text));
  LoadLocalString(g_shell.instance, captionId, caption, sizeof(caption));
  MessageBoxA(owner, text, caption, flags);
}

WindowPlacement ReadStoredPlacement() {
  ProfileSettingsFiles files;
  WindowPlacement p;
  p.x = ReadSetting(files, "window", "x", kMissingSetting);
  p.y = ReadSetting(files, "window", "y", kMissingSetting);
  p.width = ReadSetting(files, "window", "width", kMissingSetting);
  p.height = ReadSetting(files, "window", "height", kMissingSetting);
  return p;
}

bool ReadZoomSetting() {
  ProfileSettingsFiles files;
  return ReadSetting(files, "window", "zoom", 0) != 0;
}

void WritePlacement(HWND mainWindow) {
  RECT r;
  if (!GetWindowRect(mainWindow, &r)) return;
  ProfileSettingsFiles files;
  WriteInt(files, "window", "width", r.right - r.left);
  WriteInt(files, "window", "height", r.bottom - r.top);
  WriteInt(files, "window", "x", r.left);
  WriteInt(files, "window", "y", r.top);
}

void WriteZoom(HWND mainWindow) {
  ProfileSettingsFiles files;
  WriteInt(files, "window", "zoom", IsZoomed(mainWindow) ? 1 : 0);
}

void ReadColumnWidths(const RECT& headerClient) {
  ProfileSettingsFiles files;
  ColumnWidths widths;
  widths.attribute = ReadSetting(files, "InBox", "attribute", widths.attribute);
  widths.sender = ReadSetting(files, "InBox", "sender", widths.sender);
  widths.date = ReadSetting(files, "InBox", "date", widths.date);
  widths.subject = ReadSetting(files, "InBox", "subject", widths.subject);
  g_shell.headerCells = CellsFromWidths(widths, headerClient.left, headerClient.right);
  UpdateDragZones();
}

void WriteColumnWidths() {
  ColumnWidths widths = WidthsFromCells(g_shell.headerCells);
  ProfileSettingsFiles files;
  WriteInt(files, "InBox", "attribute", widths.attribute);
  WriteInt(files, "InBox", "sender", widths.sender);
  WriteInt(files, "InBox", "date", widths.date);
  WriteInt(files, "InBox", "subject", widths.subject);
}
