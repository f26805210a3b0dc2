// Group properties dialog ("G_PROPDLG"): a group's name, memo and members.
#include "app/book_files.h"
#include "app/localized_dialog.h"
#include "app/settings.h"
#include "app/shell_state.h"
#include "dialogs/dialog_runs_win.h"
#include "dialogs/dialog_support_win.h"
#include "dialogs/editing.h"
#include "dialogs/entry_records.h"
#include "dialogs/list_items_win.h"
#include "dialogs/member_selection.h"
#include "app/panes/panes.h"
#include "store/name_rules.h"

int32_t EditedGroupSlot = -1;
MemberList MemberSelection;

namespace {

enum : int {
  kNameEdit = 100, kMemberList = 101, kNewButton = 102, kPropertiesButton = 103, kDeleteButton = 104,
  kMemoEdit = 105,
};

HWND MembersListBox(HWND dialog) { return GetDlgItem(dialog, kMemberList); }

void ApplyButtonRule(HWND dialog) {
  int selected = SelectedCount(MembersListBox(dialog));
  EnableWindow(GetDlgItem(dialog, kDeleteButton), selected >= 1);
  EnableWindow(GetDlgItem(dialog, kPropertiesButton), selected == 1);
}

void FillFromRecord(HWND dialog) {
  SendMessageA(MembersListBox(dialog), LB_RESETCONTENT, 0, 0);
  const AddressStore& store = g_shell.store;
  if (!store.persons || !store.groups || static_cast<uint32_t>(EditedGroupSlot) >= store.groups->used) return;
  const GroupRecord& group = (*store.groups)[static_cast<uint32_t>(EditedGroupSlot)];
  if (group.deleted != 0) return;
  SetDlgItemTextA(dialog, kNameEdit, group.name);
  SetDlgItemTextA(dialog, kMemoEdit, group.memo);
  FillWithPersons(MembersListBox(dialog), LiveMemberSlots(store, static_cast<uint32_t>(EditedGroupSlot)));
}

BOOL OnInitDialog(HWND dialog) {
  MakePersonListSpeak(MembersListBox(dialog), true);
  if (EditedGroupSlot != -1) FillFromRecord(dialog);
  GroupDialogFontOf().ApplyTo(dialog, {kMemberList, kNameEdit, kMemoEdit});
  LimitControlText(dialog, kNameEdit, kInputTextLimit);
  LimitControlText(dialog, kMemoEdit, kInputTextLimit);
  ApplyButtonRule(dialog);
  return TRUE;
}

void StoreGroup(const GroupFields& fields) {
  AddressStore& store = g_shell.store;
  if (EditedGroupSlot == -1) {
    int slot = AddGroup(store, fields);
    if (slot >= 0) InsertGroupItem(g_shell.entryList, slot);
  } else if (UpdateGroup(store, EditedGroupSlot, fields)) {
    ShowEditedEntry(MakeItemRef(static_cast<uint32_t>(EditedGroupSlot), kGroupItem));
  }
  SaveGroupFile(store);
}

void OnOk(HWND dialog) {
  GroupFields fields;
  fields.name = ReadControlText(dialog, kNameEdit, kInputTextLimit);
  fields.memo = ReadControlText(dialog, kMemoEdit, kInputTextLimit);
  if (int message = ValidateGroupInput(g_shell.store, fields.name.c_str(), EditedGroupSlot); message != kMsgNone) {
    ShowInputError(dialog, message);
    return;
  }
  fields.members = PersonSlotsOf(AllItemData(MembersListBox(dialog)));
  StoreGroup(fields);
  TellFailedSaves(dialog);
  EndDialog(dialog, 1);
}

// Select members works on a copy; the list is refilled even after Cancel, clearing its selection.
void OnNew(HWND dialog) {
  MemberSelection = PersonSlotsOf(AllItemData(MembersListBox(dialog)));
  RunSelectMembersDialog(dialog);
  FillWithPersons(MembersListBox(dialog), MemberSelection);
  MemberSelection.clear();
  MemberSelection.shrink_to_fit();
  ApplyButtonRule(dialog);
}

void OnCommand(HWND dialog, int id, int code) {
  switch (id) {
    case IDOK: OnOk(dialog); return;
    case IDCANCEL: EndDialog(dialog, 1); return;
    case kMemberList:
      ApplyButtonRule(dialog);
      if (code == LBN_DBLCLK) ShowProperties(dialog, kMemberList);
      return;
    case kPropertiesButton: ShowProperties(dialog, kMemberList); return;
    case kNewButton: OnNew(dialog); return;
    case kDeleteButton: RemoveSelectedItems(dialog, kMemberList); return;  // buttons keep their state
    case kNameEdit:
    case kMemoEdit:
      if (code == EN_CHANGE) EnforceTextLimit(dialog, id, kInputTextLimit);
      return;
  }
}

void OnDestroy(HWND dialog) {
  GroupDialogFontOf().RestoreSystemFont(dialog, {kMemberList, kNameEdit, kMemoEdit});
  ReleasePersonItemResources();
}

INT_PTR CALLBACK GroupDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (IsLightGrayRequest(message)) return PaintLightGray(wParam);
  switch (message) {
    case WM_MEASUREITEM:  // arrives while the list is created, before WM_INITDIALOG
      MakePersonItemResources();
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
    case WM_DESTROY:
      OnDestroy(dialog);
      return TRUE;
  }
  return FALSE;
}

}  // namespace

void RunGroupDialog(HWND owner) {
  RunLocalizedDialog("G_PROPDLG", owner, GroupDialogProc);
}

void ShowGroupDialog(HWND owner) {
  DialogActiveScope active;
  EditedGroupSlot = -1;
  RunGroupDialog(owner);
}
