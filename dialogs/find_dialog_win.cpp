// Find dialog ("FINDDLG"): modeless; each Find selects the next matching entry-list item.
#include <string>

#include "app/font_specs.h"
#include "app/localized_dialog.h"
#include "app/settings.h"
#include "app/startup.h"
#include "app/shell_state.h"
#include "dialogs/dialog_support_win.h"
#include "dialogs/editing.h"
#include "dialogs/find_stepping.h"
#include "dialogs/list_items_win.h"
#include "app/panes/speaking_list_win.h"

namespace {

enum : int { kDescriptionRadio = 101, kEmailRadio = 102, kSearchEdit = 103 };
constexpr int kSearchLimit = 258;
constexpr UINT kNotFoundId = 127;
constexpr UINT kCaptionId = 101;

// Shared by every open Find dialog, as the positions belong to the entry list.
FindPositions findPositions;

// Several Find dialogs may be open at once, so each keeps its FindDialogFont with its window.
HFONT FindDialogFont(HWND dialog) { return reinterpret_cast<HFONT>(GetWindowLongPtrA(dialog, DWLP_USER)); }

BOOL OnInitDialog(HWND dialog) {
  findPositions.FindResumePosition = 0;
  CheckRadioButton(dialog, kDescriptionRadio, kEmailRadio, kDescriptionRadio);
  HFONT font = CreateFontFromSet(StandardFontSet);
  SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(font));
  SetControlFont(GetDlgItem(dialog, kSearchEdit), font ? font : static_cast<HFONT>(GetStockObject(SYSTEM_FONT)));
  SendDlgItemMessageA(dialog, kSearchEdit, EM_LIMITTEXT, kSearchLimit, 0);
  return TRUE;
}

// Only the hit stays selected; LB_SETSEL sends no notification, so enabling is not rerun. A
// screen reader is told of the hit.
void SelectHit(HWND list, int position) {
  SendMessageA(list, LB_SETSEL, FALSE, -1);
  SendMessageA(list, LB_SETSEL, TRUE, position);
  NotifySelectionChanged(list);
}

void OnFind(HWND dialog) {
  FindMode mode = IsDlgButtonChecked(dialog, kDescriptionRadio) == BST_CHECKED ? FindMode::kDescription
                                                                             : FindMode::kEmail;
  std::string text = ReadControlText(dialog, kSearchEdit, kSearchLimit);
  if (text.empty()) return;
  HWND list = g_shell.entryList;
  FindNextEntry(findPositions, AllItemData(list), g_shell.store, mode, text.c_str());
  if (findPositions.FindHitPosition == -1)
    MessageBoxById(dialog, kNotFoundId, kCaptionId, MB_ICONINFORMATION | MB_SETFOREGROUND);
  else
    SelectHit(list, findPositions.FindHitPosition);
}

void OnCommand(HWND dialog, int id) {
  switch (id) {
    case IDOK: OnFind(dialog); return;
    case IDCANCEL: DestroyWindow(dialog); return;
    case kDescriptionRadio:
    case kEmailRadio:
    case kSearchEdit: findPositions.FindResumePosition = 0; return;  // mode, text or focus changed
  }
}

// The message loop must stop offering messages to a closed dialog.
void OnDestroy(HWND dialog) {
  if (HFONT font = FindDialogFont(dialog)) {
    SetControlFont(GetDlgItem(dialog, kSearchEdit), static_cast<HFONT>(GetStockObject(SYSTEM_FONT)));
    SetWindowLongPtrA(dialog, DWLP_USER, 0);
    DeleteObject(font);
  }
  if (g_shell.FindDialogWindow == dialog) g_shell.FindDialogWindow = nullptr;
}

INT_PTR CALLBACK FindDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (IsLightGrayRequest(message)) return PaintLightGray(wParam);
  switch (message) {
    case WM_INITDIALOG:
      return OnInitDialog(dialog);
    case WM_COMMAND:
      OnCommand(dialog, LOWORD(wParam));
      return TRUE;
    case WM_CLOSE:
      DestroyWindow(dialog);
      return TRUE;
    case WM_DESTROY:
      OnDestroy(dialog);
      return TRUE;
  }
  return FALSE;
}

}  // namespace

void ShowFindDialog(HWND mainWindow) {
  DialogActiveScope active;  // only while the dialog is being created
  HWND dialog = CreateLocalizedDialog("FINDDLG", mainWindow, FindDialogProc);
  if (dialog) g_shell.FindDialogWindow = dialog;
}
