// Helpers the editing dialogs share: text limits, messages and the DialogActive count; the
// light-grey frame, fonts and list helpers come from the Win32 kit.
#pragma once

#include <windows.h>

#include <string>

#include "app/shell_state.h"
#include "win/dialog_frame_win.h"
#include "win/list_box_win.h"

// Descriptions, memos and group names are read with room for 258 characters and stored cut
// to them, one short of what their fields could hold.
constexpr int kInputTextLimit = 258;

// The control's text, at most maxLength bytes, never ending inside a double-byte character.
std::string ReadControlText(HWND dialog, int id, int maxLength);

// Sets the typing limit; text that got past it (pasted or set from outside) is cut back with
// a beep, so what the control shows is always what will be stored.
void LimitControlText(HWND dialog, int id, int maxLength);
void EnforceTextLimit(HWND dialog, int id, int maxLength);

// Counts a dialog as open for the end-of-log-on refusal while in scope.
class DialogActiveScope {
 public:
  DialogActiveScope() { ++g_shell.DialogActive; }
  ~DialogActiveScope() { --g_shell.DialogActive; }
  DialogActiveScope(const DialogActiveScope&) = delete;
  DialogActiveScope& operator=(const DialogActiveScope&) = delete;
};

// Input-error message from the string table, caption "Address Book", stop icon.
void ShowInputError(HWND dialog, int messageId);
