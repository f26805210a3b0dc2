// Select members dialog ("SELMEMDLG"): live persons on the left, the chosen members on the right.
#include "app/localized_dialog.h"
#include "app/settings.h"
#include "app/shell_state.h"
#include "dialogs/dialog_runs_win.h"
#include "dialogs/dialog_support_win.h"
#include "dialogs/editing.h"
#include "dialogs/list_items_win.h"
#include "dialogs/member_selection.h"

namespace {

enum : int { kPersonList = 100, kChosenList = 101, kAppendButton = 102, kDeleteButton = 103 };

HWND List(HWND dialog, int id) { return GetDlgItem(dialog, id); }

void ApplyButtonRule(HWND dialog) {
  EnableWindow(GetDlgItem(dialog, kAppendButton), SelectedCount(List(dialog, kPersonList)) > 0);
  EnableWindow(GetDlgItem(dialog, kDeleteButton), SelectedCount(List(dialog, kChosenList)) > 0);
}

BOOL OnInitDialog(HWND dialog) {
  MakePersonListSpeak(List(dialog, kPersonList), false);
  MakePersonListSpeak(List(dialog, kChosenList), false);
  FillWithPersons(List(dialog, kPersonList), LivePersonSlots(g_shell.store));
  FillWithPersons(List(dialog, kChosenList), MemberSelection);
  GroupDialogFontOf().ApplyTo(dialog, {kPersonList, kChosenList});
  ApplyButtonRule(dialog);
  return TRUE;
}

// Persons already chosen are passed over; the left selection stays.
void OnAppend(HWND dialog) {
  HWND persons = List(dialog, kPersonList);
  HWND chosen = List(dialog, kChosenList);
  std::vector<uint32_t> picked = PersonSlotsOf(ItemDataAt(persons, SelectedPositions(persons)));
  AppendPersonItems(chosen, MembersToAppend(PersonSlotsOf(AllItemData(chosen)), picked));
  ApplyButtonRule(dialog);
}

void OnOk(HWND dialog) {
  MemberSelection = PersonSlotsOf(AllItemData(List(dialog, kChosenList)));
  EndDialog(dialog, 1);
}

void OnCommand(HWND dialog, int id) {
  switch (id) {
    case IDOK: OnOk(dialog); return;
    case IDCANCEL: EndDialog(dialog, 1); return;  // MemberSelection keeps what the group dialog gave
    case kAppendButton: OnAppend(dialog); return;
    case kDeleteButton:
      RemoveSelectedItems(dialog, kChosenList);
      ApplyButtonRule(dialog);
      return;
    case kPersonList:
    case kChosenList: ApplyButtonRule(dialog); return;
  }
}

void OnDestroy(HWND dialog) {
  GroupDialogFontOf().RestoreSystemFont(dialog, {kPersonList, kChosenList});  // the font stays with the group dialog
}

INT_PTR CALLBACK SelectMembersProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (IsLightGrayRequest(message)) return PaintLightGray(wParam);
  switch (message) {
    case WM_MEASUREITEM:
      MeasurePersonItem(dialog, reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_DRAWITEM:
      DrawPersonItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_INITDIALOG:
      return OnInitDialog(dialog);
    case WM_COMMAND:
      OnCommand(dialog, LOWORD(wParam));
      return TRUE;
    case WM_CLOSE:
      EndDialog(dialog, 1);
      return TRUE;
    case WM_DESTROY:
      OnDestroy(dialog);
      return TRUE;
  }
  return FALSE;
}

}  // namespace

void RunSelectMembersDialog(HWND owner) {
  RunLocalizedDialog("SELMEMDLG", owner, SelectMembersProc);
}
