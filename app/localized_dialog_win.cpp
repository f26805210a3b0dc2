#include "app/localized_dialog.h"

#include "app/settings.h"
#include "app/shell_state.h"

INT_PTR RunLocalizedDialog(const char* baseName, HWND owner, DLGPROC procedure, LPARAM parameter) {
  return DialogBoxParamA(g_shell.instance, LocalizedResourceName(baseName), owner, procedure, parameter);
}

HWND CreateLocalizedDialog(const char* baseName, HWND owner, DLGPROC procedure) {
  return CreateDialogParamA(g_shell.instance, LocalizedResourceName(baseName), owner, procedure, 0);
}
