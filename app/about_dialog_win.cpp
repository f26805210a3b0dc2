#include <windows.h>

#include "app/main_window.h"
#include "app/settings.h"
#include "app/shell_state.h"

namespace {

constexpr COLORREF kLightGray = RGB(192, 192, 192);

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_COMMAND:
      if (wParam == IDOK || wParam == IDCANCEL) EndDialog(dialog, 1);
      return FALSE;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      SetBkColor(reinterpret_cast<HDC>(wParam), kLightGray);
      return reinterpret_cast<INT_PTR>(GetStockObject(LTGRAY_BRUSH));
  }
  (void)lParam;
  return FALSE;  // the brush handed out is a stock object: nothing to release
}

}  // namespace

void ShowAboutDialog(HWND owner) {
  ++g_shell.DialogActive;
  DialogBoxParamA(g_shell.instance, LocalizedResourceName("AboutBox"), owner, AboutDialogProc, 0);
  --g_shell.DialogActive;
}
