#include "app/settings.h"

#include <string>

#include "app/column_widths.h"
#include "app/language.h"
#include "app/settings_files_win.h"
#include "app/shell_state.h"
#include "panes/panes.h"

namespace {

constexpr int kMessageBufferSize = 256;

int ReadInt(const char* section, const char* key, int defaultValue) {
  ProfileSettingsFiles files;
  return ReadSetting(files, section, key, defaultValue);
}

void WriteInt(const char* section, const char* key, int value) {
  ProfileSettingsFiles files;
  g_shell.settingsWrites.Write(files, section, key, value);
}

}  // namespace

void ReadLanguageSetting() { g_shell.language = ReadInt("Application", "language", 0); }

const char* LocalizedResourceName(const char* baseName) {
  static char name[kResourceNameSize];
  ComposeResourceName(name, baseName ? baseName : "", g_shell.language);
  return name;
}

int LoadLocalString(HINSTANCE instance, UINT id, char* buffer, int bufferSize) {
  if (!buffer || bufferSize <= 0) return 0;
  buffer[0] = '\0';
  UINT localId = id + static_cast<UINT>(StringTableOffset(g_shell.language));
  return LoadStringA(instance, localId, buffer, bufferSize);
}

void MessageBoxById(HWND owner, UINT textId, UINT captionId, UINT flags) {
  char text[kMessageBufferSize];
  char caption[kMessageBufferSize];
  LoadLocalString(g_shell.instance, textId, text, sizeof(text));
  LoadLocalString(g_shell.instance, captionId, caption, sizeof(caption));
  MessageBoxA(owner, text, caption, flags);
}

WindowPlacement ReadStoredPlacement() {
  WindowPlacement p;
  p.x = ReadInt("window", "x", kMissingSetting);
  p.y = ReadInt("window", "y", kMissingSetting);
  p.width = ReadInt("window", "width", kMissingSetting);
  p.height = ReadInt("window", "height", kMissingSetting);
  return p;
}

bool ReadZoomSetting() { return ReadInt("window", "zoom", 0) != 0; }

void WritePlacement(HWND mainWindow) {
  RECT r;
  if (!GetWindowRect(mainWindow, &r)) return;
  WriteInt("window", "width", r.right - r.left);
  WriteInt("window", "height", r.bottom - r.top);
  WriteInt("window", "x", r.left);
  WriteInt("window", "y", r.top);
}

void WriteZoom(HWND mainWindow) { WriteInt("window", "zoom", IsZoomed(mainWindow) ? 1 : 0); }

void ReadColumnWidths(const RECT& headerClient) {
  ColumnWidths widths;
  widths.attribute = ReadInt("InBox", "attribute", widths.attribute);
  widths.sender = ReadInt("InBox", "sender", widths.sender);
  widths.date = ReadInt("InBox", "date", widths.date);
  widths.subject = ReadInt("InBox", "subject", widths.subject);
  g_shell.headerCells = CellsFromWidths(widths, headerClient.left, headerClient.right);
  UpdateDragZones();
}

void WriteColumnWidths() {
  ColumnWidths widths = WidthsFromCells(g_shell.headerCells);
  WriteInt("InBox", "attribute", widths.attribute);
  WriteInt("InBox", "sender", widths.sender);
  WriteInt("InBox", "date", widths.date);
  WriteInt("InBox", "subject", widths.subject);
}
