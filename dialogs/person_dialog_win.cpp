// Person properties dialog ("P_PROPDLG"): creates a person or edits one.
#include <string>

#include "app/book_files.h"
#include "app/localized_dialog.h"
#include "app/settings.h"
#include "app/shell_state.h"
#include "app/startup.h"
#include "dialogs/dialog_runs_win.h"
#include "dialogs/dialog_support_win.h"
#include "dialogs/editing.h"
#include "dialogs/entry_records.h"
#include "app/panes/panes.h"
#include "store/name_rules.h"

int32_t EditedPersonSlot = -1;

namespace {

enum : int {
  kDescriptionEdit = 100, kEmailEdit = 101, kFirstEdit = 102, kMiddleEdit = 103, kLastEdit = 104, kMemoEdit = 105,
};
constexpr int kNameEdits[] = {kFirstEdit, kMiddleEdit, kLastEdit};

// The e-mail field's room; the name parts share the room of `names` among themselves.
constexpr int kEmailLimit = static_cast<int>(kEmailFieldSize) - 1;

DialogFont PersonDialogFont;

int TextLength(HWND dialog, int id) { return GetWindowTextLengthA(GetDlgItem(dialog, id)); }

// Each part may grow only into what the other two leave of `names`.
void LimitNamePart(HWND dialog, int id) {
  size_t others[2] = {};
  size_t n = 0;
  for (int other : kNameEdits)
    if (other != id) others[n++] = static_cast<size_t>(TextLength(dialog, other));
  int room = static_cast<int>(NamePartRoom(kTextFieldSize, others[0], others[1]));
  EnforceTextLimit(dialog, id, room);
  // A limit of 0 would mean "no limit": an empty part with no room left gets 1 and the
  // enforcement above takes back any character typed into it.
  SendDlgItemMessageA(dialog, id, EM_LIMITTEXT, static_cast<WPARAM>(room > 0 ? room : 1), 0);
}

void LimitNameParts(HWND dialog, int changedId) {
  LimitNamePart(dialog, changedId);
  for (int id : kNameEdits)
    if (id != changedId) LimitNamePart(dialog, id);
}

bool IsNameEdit(int id) { return id == kFirstEdit || id == kMiddleEdit || id == kLastEdit; }

void FillFromRecord(HWND dialog, const PersonRecord& person) {
  SetDlgItemTextA(dialog, kDescriptionEdit, person.description);
  SetDlgItemTextA(dialog, kEmailEdit, person.email);
  SetDlgItemTextA(dialog, kMemoEdit, person.memo);
  NameParts parts = SplitNames(person.names, sizeof person.names);
  SetDlgItemTextA(dialog, kFirstEdit, parts.first.c_str());
  SetDlgItemTextA(dialog, kMiddleEdit, parts.middle.c_str());
  SetDlgItemTextA(dialog, kLastEdit, parts.last.c_str());
}

const PersonRecord* EditedRecord() {
  const auto& persons = g_shell.store.persons;
  if (EditedPersonSlot < 0 || !persons || static_cast<uint32_t>(EditedPersonSlot) >= persons->used) return nullptr;
  const PersonRecord& person = (*persons)[static_cast<uint32_t>(EditedPersonSlot)];
  return person.deleted == 0 ? &person : nullptr;
}

BOOL OnInitDialog(HWND dialog) {
  PersonDialogFont.Adopt(CreateFontFromSet(StandardFontSet));
  PersonDialogFont.ApplyTo(dialog, {kDescriptionEdit, kEmailEdit, kMemoEdit, kFirstEdit, kMiddleEdit, kLastEdit});
  if (const PersonRecord* person = EditedRecord()) FillFromRecord(dialog, *person);
  LimitControlText(dialog, kDescriptionEdit, kInputTextLimit);
  LimitControlText(dialog, kEmailEdit, kEmailLimit);
  LimitControlText(dialog, kMemoEdit, kInputTextLimit);
  LimitNameParts(dialog, kFirstEdit);
  return TRUE;
}

PersonFields ReadFields(HWND dialog) {
  PersonFields fields;
  fields.description = ReadControlText(dialog, kDescriptionEdit, kInputTextLimit);
  fields.email = ReadControlText(dialog, kEmailEdit, kEmailLimit);
  fields.memo = ReadControlText(dialog, kMemoEdit, kInputTextLimit);
  fields.names.first = ReadControlText(dialog, kFirstEdit, kInputTextLimit);
  fields.names.middle = ReadControlText(dialog, kMiddleEdit, kInputTextLimit);
  fields.names.last = ReadControlText(dialog, kLastEdit, kInputTextLimit);
  return fields;
}

int Validate(const PersonFields& fields) {
  PersonInput input{fields.description.c_str(), fields.names.first.c_str(), fields.names.middle.c_str(),
                    fields.names.last.c_str()};
  return ValidatePersonInput(g_shell.store, input, EditedPersonSlot);
}

void StoreNewPerson(const PersonFields& fields) {
  int slot = AddPerson(g_shell.store, fields);
  if (slot >= 0) InsertPersonItem(g_shell.entryList, slot);
  SavePersonFile(g_shell.store);
}

// Groups name their members by description in "group.inf", so a rename must reach it too.
void StoreEditedPerson(const PersonFields& fields) {
  UpdatePerson(g_shell.store, EditedPersonSlot, fields);
  ShowEditedEntry(MakeItemRef(static_cast<uint32_t>(EditedPersonSlot), kPersonItem));
  SavePersonFile(g_shell.store);
  SaveGroupFile(g_shell.store);
}

void OnOk(HWND dialog) {
  PersonFields fields = ReadFields(dialog);
  if (int message = Validate(fields); message != kMsgNone) {
    ShowInputError(dialog, message);
    return;
  }
  if (EditedPersonSlot == -1)
    StoreNewPerson(fields);
  else
    StoreEditedPerson(fields);
  TellFailedSaves(dialog);
  EndDialog(dialog, 1);
}

void OnEditChange(HWND dialog, int id) {
  if (IsNameEdit(id))
    LimitNameParts(dialog, id);
  else
    EnforceTextLimit(dialog, id, id == kEmailEdit ? kEmailLimit : kInputTextLimit);
}

void OnDestroy(HWND dialog) {
  PersonDialogFont.RestoreSystemFont(dialog,
                                     {kDescriptionEdit, kEmailEdit, kMemoEdit, kFirstEdit, kMiddleEdit, kLastEdit});
  PersonDialogFont.Release();
}

INT_PTR CALLBACK PersonDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (IsLightGrayRequest(message)) return PaintLightGray(wParam);
  switch (message) {
    case WM_INITDIALOG:
      return OnInitDialog(dialog);
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) OnOk(dialog);
      else if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog, 1);
      else if (HIWORD(wParam) == EN_CHANGE) OnEditChange(dialog, LOWORD(wParam));
      return TRUE;
    case WM_DESTROY:
      OnDestroy(dialog);
      return TRUE;
  }
  return FALSE;
}

}  // namespace

void RunPersonDialog(HWND owner) {
  RunLocalizedDialog("P_PROPDLG", owner, PersonDialogProc);
}

void ShowPersonDialog(HWND owner) {
  DialogActiveScope active;
  EditedPersonSlot = -1;
  RunPersonDialog(owner);
}
