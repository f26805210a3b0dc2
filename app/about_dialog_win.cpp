#include <windows.h>

#include "app/main_window.h"
#include "app/localized_dialog.h"
#include "app/settings.h"
#include "app/shell_state.h"
#include "win/dialog_frame_win.h"

namespace {

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (IsLightGrayRequest(message)) return PaintLightGray(wParam);  // a stock brush: nothing to release
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_COMMAND:
      if (wParam == IDOK || wParam == IDCANCEL) EndDialog(dialog, 1);
      return FALSE;
  }
  return FALSE;
}

}  // namespace

void ShowAboutDialog(HWND owner) {
  ++g_shell.DialogActive;
  RunLocalizedDialog("AboutBox", owner, AboutDialogProc);
  --g_shell.DialogActive;
}
