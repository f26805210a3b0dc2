// Helpers the editing dialogs share: colours, text limits, fonts and the DialogActive count.
#pragma once

#include <windows.h>

#include <string>

#include "app/shell_state.h"

// Light-grey dialog background, buttons and static texts (WM_CTLCOLORDLG/BTN/STATIC).
INT_PTR PaintLightGray(WPARAM deviceContext);
bool IsLightGrayRequest(UINT message);

// Descriptions, memos and group names are read with room for 258 characters and stored cut
// to them, one short of what their fields could hold.
constexpr int kInputTextLimit = 258;

// The control's text, at most maxLength characters.
std::string ReadControlText(HWND dialog, int id, int maxLength);

// Sets the typing limit; text that got past it (pasted or set from outside) is cut back with
// a beep, so what the control shows is always what will be stored.
void LimitControlText(HWND dialog, int id, int maxLength);
void EnforceTextLimit(HWND dialog, int id, int maxLength);

// A dialog's own font from StandardFontSet; controls take the stock system font without one.
class DialogFont {
 public:
  DialogFont() = default;
  DialogFont(const DialogFont&) = delete;
  DialogFont& operator=(const DialogFont&) = delete;
  ~DialogFont() { Release(); }

  void Make();
  void Release();
  bool exists() const { return font_ != nullptr; }
  HFONT OrSystem() const;
  // WM_SETFONT with this font (or the system font) on each listed control.
  template <size_t N>
  void ApplyTo(HWND dialog, const int (&ids)[N]) const {
    for (int id : ids) SendDlgItemMessageA(dialog, id, WM_SETFONT, reinterpret_cast<WPARAM>(OrSystem()), FALSE);
  }
  // Puts the system font back on the controls before the font goes.
  template <size_t N>
  void RestoreSystemFont(HWND dialog, const int (&ids)[N]) const {
    if (!font_) return;
    HGDIOBJ system = GetStockObject(SYSTEM_FONT);
    for (int id : ids) SendDlgItemMessageA(dialog, id, WM_SETFONT, reinterpret_cast<WPARAM>(system), FALSE);
  }

 private:
  HFONT font_ = nullptr;
};

// Counts a dialog as open for the end-of-log-on refusal while in scope.
class DialogActiveScope {
 public:
  DialogActiveScope() { ++g_shell.DialogActive; }
  ~DialogActiveScope() { --g_shell.DialogActive; }
  DialogActiveScope(const DialogActiveScope&) = delete;
  DialogActiveScope& operator=(const DialogActiveScope&) = delete;
};

// Repaints a list at once (erase, then paint) so that it shows edited records.
void RepaintNow(HWND window);

// Input-error message from the string table, caption "Address Book", stop icon.
void ShowInputError(HWND dialog, int messageId);
