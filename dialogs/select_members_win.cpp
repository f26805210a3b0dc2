// Select members dialog ("SELMEMDLG"): live persons on the left, the chosen members on the right.
#include "app/localized_dialog.h"
#include "app/settings.h"
#include "app/shell_state.h"
#include "dialogs/dialog_runs_win.h"
#include "dialogs/dialog_support_win.h"
#include "dialogs/editing.h"
#include "dialogs/list_items_win.h"
#include "dialogs/member_selection.h"
#include "app/panes/search_edit_win.h"
#include "app/panes/speaking_list_win.h"
#include "store/search_texts.h"
#include "win/list_box_win.h"

namespace {

enum : int { kPersonList = 100, kChosenList = 101, kAppendButton = 102, kDeleteButton = 103, kSearchBox = 104 };

HWND List(HWND dialog, int id) { return GetDlgItem(dialog, id); }

void ApplyButtonRule(HWND dialog) {
  EnableWindow(GetDlgItem(dialog, kAppendButton), SelectedCount(List(dialog, kPersonList)) > 0);
  EnableWindow(GetDlgItem(dialog, kDeleteButton), SelectedCount(List(dialog, kChosenList)) > 0);
}

void OnAppend(HWND dialog);

// The box narrows the persons on the left as the main window's box narrows the book.
void NarrowPersons(HWND box) {
  HWND dialog = GetParent(box);
  HWND persons = List(dialog, kPersonList);
  AddressStore& store = g_shell.store;
  std::vector<std::string> words = SearchWords(store, SearchEditText(box));
  std::vector<uint32_t> shown;
  for (uint32_t slot : LivePersonSlots(store))
    if (PersonHoldsWords(store, slot, words)) shown.push_back(slot);
  FillWithPersons(persons, shown);
  if (!shown.empty()) SelectAloneAsClick(persons, 0);
  ApplyButtonRule(dialog);
}

void AppendFromBox(HWND box) {
  OnAppend(GetParent(box));
  SendMessageA(box, EM_SETSEL, 0, -1);
}

void FocusPersons(HWND box) {
  HWND persons = List(GetParent(box), kPersonList);
  SetFocus(persons);
  if (ListCount(persons) > 0) SendMessageA(persons, LB_SETCARETINDEX, 0, FALSE);
}

void CancelFromBox(HWND box) { EndDialog(GetParent(box), 1); }

const SearchEditActions kBoxActions = {NarrowPersons, AppendFromBox, FocusPersons, CancelFromBox};

// Esc clears the box first; only an empty box lets it cancel the dialog.
void OnCancel(HWND dialog) {
  HWND box = GetDlgItem(dialog, kSearchBox);
  if (box && GetKeyState(VK_ESCAPE) < 0 && GetWindowTextLengthA(box) > 0) {
    SetWindowTextA(box, "");
    return;
  }
  EndDialog(dialog, 1);  // MemberSelection keeps what the group dialog gave
}


BOOL OnInitDialog(HWND dialog) {
  MakePersonListSpeak(List(dialog, kPersonList), false);
  MakePersonListSpeak(List(dialog, kChosenList), false);
  FillWithPersons(List(dialog, kPersonList), LivePersonSlots(g_shell.store));
  FillWithPersons(List(dialog, kChosenList), MemberSelection);
  GroupDialogFontOf().ApplyTo(dialog, {kPersonList, kChosenList});
  MakeSearchEdit(GetDlgItem(dialog, kSearchBox), kBoxActions);
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

void OnCommand(HWND dialog, int id, int code) {
  switch (id) {
    case IDOK: OnOk(dialog); return;
    case IDCANCEL: OnCancel(dialog); return;
    case kSearchBox:
      if (code == EN_CHANGE) SearchEditChanged(GetDlgItem(dialog, kSearchBox));
      return;
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
      OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
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
