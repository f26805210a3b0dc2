// Find duplicates ("DUPDLG"): the sets on the left; the selected set's persons and, for each
// field, the values to keep on the right; Merge, Not the same, Merge all identical and Close.
#include <algorithm>

#include "app/book_files.h"
#include "app/localized_dialog.h"
#include "app/message_text.h"
#include "app/settings.h"
#include "app/shell_state.h"
#include "app/text_message.h"
#include "app/panes/panes.h"
#include "dialogs/dialog_runs_win.h"
#include "dialogs/dialog_support_win.h"
#include "dialogs/duplicates.h"
#include "dialogs/editing.h"
#include "dialogs/list_items_win.h"
#include "dialogs/not_same.h"
#include "handoff/recipient_box.h"
#include "store/name_rules.h"
#include "sync/sync_shell_win.h"
#include "win/gdi_owners_win.h"

namespace {

enum : int {
  kSetList = 100, kPersonList = 101, kFirstCombo = 102,  // 102-107 in MergeField order
  kMergeButton = 110, kNotSameButton = 111, kMergeAllButton = 112,
};
enum : UINT {
  kNoDuplicatesText = 2070, kSameEmailText = 2076, kSameNameText = 2077, kMergeAllQuestion = 2078,
  kNoLongerSentQuestion = 2080, kNotSameUnwritten = 2081, kNoIdenticalSets = 2082,
};
constexpr UINT kCaptionId = 101;

struct DuplicatesDialog {
  CodePage page;
  NotSameList declared;
  std::vector<DuplicateSet> sets;
  std::array<std::vector<std::string>, kFieldCount> offered;  // for the selected set
};

DuplicatesDialog& StateOf(HWND dialog) {
  return *reinterpret_cast<DuplicatesDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

std::string LocalText(UINT id) { return LoadLongString(id); }

int SelectedSet(HWND dialog) {
  LRESULT at = SendDlgItemMessageA(dialog, kSetList, LB_GETCURSEL, 0, 0);
  return at == LB_ERR ? -1 : static_cast<int>(at);
}

// The lines, with the list's scroll width set by the longest of them.
void FillSetList(HWND dialog, const DuplicatesDialog& state) {
  HWND list = GetDlgItem(dialog, kSetList);
  std::string sameEmail = LocalText(kSameEmailText), sameName = LocalText(kSameNameText);
  ListRedrawPause pause(list);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  SendMessageA(list, LB_INITSTORAGE, state.sets.size(), state.sets.size() * 64);
  WindowDC dc(list);
  SelectGuard font(dc.get(), reinterpret_cast<HGDIOBJ>(SendMessageA(list, WM_GETFONT, 0, 0)));
  LONG widest = 0;
  for (const DuplicateSet& set : state.sets) {
    std::string line = SetLine(g_shell.store, set, sameEmail, sameName);
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    SIZE size = {};
    if (GetTextExtentPoint32A(dc.get(), line.c_str(), static_cast<int>(line.size()), &size)) widest = std::max(widest, size.cx);
  }
  SendMessageA(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + 8), 0);
}

void FillCombo(HWND combo, const std::vector<std::string>& values, const std::string& chosen) {
  SendMessageA(combo, CB_RESETCONTENT, 0, 0);
  for (const std::string& value : values) SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(value.c_str()));
  auto at = std::find(values.begin(), values.end(), chosen);
  SendMessageA(combo, CB_SETCURSEL, at == values.end() ? 0 : static_cast<WPARAM>(at - values.begin()), 0);
  EnableWindow(combo, values.size() > 1);  // one value (or none) is shown greyed
}

void ApplyButtonRule(HWND dialog) {
  bool any = SelectedSet(dialog) >= 0;
  EnableWindow(GetDlgItem(dialog, kMergeButton), any);
  EnableWindow(GetDlgItem(dialog, kNotSameButton), any);
}

void ShowSet(HWND dialog) {
  DuplicatesDialog& state = StateOf(dialog);
  int at = SelectedSet(dialog);
  state.offered = {};
  FieldValues chosen;
  std::vector<uint32_t> persons;
  if (at >= 0) {
    const DuplicateSet& set = state.sets[static_cast<size_t>(at)];
    state.offered = OfferedValues(g_shell.store, set, state.page);
    chosen = DefaultValues(g_shell.store, set);
    persons = set.persons;
  }
  FillWithPersons(GetDlgItem(dialog, kPersonList), persons);
  for (int f = 0; f < kFieldCount; ++f) FillCombo(GetDlgItem(dialog, kFirstCombo + f), state.offered[f], chosen[f]);
  ApplyButtonRule(dialog);
}

FieldValues ChosenValues(HWND dialog) {
  const DuplicatesDialog& state = StateOf(dialog);
  FieldValues values;
  for (int f = 0; f < kFieldCount; ++f) {
    LRESULT at = SendDlgItemMessageA(dialog, kFirstCombo + f, CB_GETCURSEL, 0, 0);
    if (at >= 0 && static_cast<size_t>(at) < state.offered[f].size()) values[f] = state.offered[f][static_cast<size_t>(at)];
  }
  return values;
}

// The sets merged leave the list; the one after them is selected. With none left the dialog ends.
void DropSets(HWND dialog, std::vector<size_t> positions) {
  DuplicatesDialog& state = StateOf(dialog);
  std::sort(positions.rbegin(), positions.rend());
  for (size_t at : positions) state.sets.erase(state.sets.begin() + static_cast<std::ptrdiff_t>(at));
  if (state.sets.empty()) {
    EndDialog(dialog, 1);
    return;
  }
  int keep = positions.empty() ? 0 : static_cast<int>(std::min(positions.back(), state.sets.size() - 1));
  FillSetList(dialog, state);
  SendDlgItemMessageA(dialog, kSetList, LB_SETCURSEL, static_cast<WPARAM>(keep), 0);
  ShowSet(dialog);
}

// One change of the book for all plans: both files written once, the list updated once.
void MergeIntoSurvivors(HWND dialog, const std::vector<MergePlan>& plans) {
  AddressStore& store = g_shell.store;
  std::vector<ItemRef> recipients = AllItemData(g_shell.recipientList);
  g_shell.deleteUndo.reset();  // one undo: the merge's replaces the delete's
  g_shell.mergeUndo = ApplyMerges(store, plans, AllItemData(g_shell.entryList), recipients);
  NoteMergeForSync(*g_shell.mergeUndo);
  SavePersonFile(store);
  SaveGroupFile(store);
  std::vector<int> gone;
  for (const auto& placed : g_shell.mergeUndo->entries) gone.push_back(placed.position);
  std::vector<ItemRef> survivors;
  for (const MergePlan& plan : plans) survivors.push_back(MakeItemRef(plan.set.persons.front(), kPersonItem));
  KeepEntriesInView(survivors);
  DeletePositions(g_shell.entryList, gone);
  RepaintNow(g_shell.entryList);
  if (g_shell.recipientList) {
    RefillList(g_shell.recipientList, RecipientsAfterMerge(recipients, plans));
    RepaintNow(g_shell.recipientList);
    UpdateRecipientControls();
  }
  TellFailedSaves(dialog);
}

// A merged person's own address chosen as a recipient would no longer be sent: Yes merges.
bool AcceptLostAddresses(HWND dialog, const MergePlan& plan, const CodePage& page) {
  if (!g_shell.recipientList) return true;
  std::vector<std::string> lost = AddressesNoLongerSent(g_shell.store, AllItemData(g_shell.recipientList), plan, page);
  if (lost.empty()) return true;
  std::string addresses;
  for (const std::string& address : lost) addresses += (addresses.empty() ? "" : ", ") + address;
  return ShowTextMessage(dialog, kNoLongerSentQuestion, {addresses}, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void OnMerge(HWND dialog) {
  DuplicatesDialog& state = StateOf(dialog);
  int at = SelectedSet(dialog);
  if (at < 0) return;
  MergePlan plan{state.sets[static_cast<size_t>(at)], ChosenValues(dialog)};
  if (int message = CheckMergedValues(g_shell.store, plan.set, plan.values); message != kMsgNone) {
    ShowInputError(dialog, message);
    return;
  }
  if (!AcceptLostAddresses(dialog, plan, state.page)) return;
  MergeIntoSurvivors(dialog, {plan});
  DropSets(dialog, {static_cast<size_t>(at)});
}

void OnNotSame(HWND dialog) {
  DuplicatesDialog& state = StateOf(dialog);
  int at = SelectedSet(dialog);
  if (at < 0) return;
  state.declared.sets.insert(NotSameKeyOf(g_shell.store, state.sets[static_cast<size_t>(at)]));
  if (auto failure = WriteNotSameList(NotSamePath(g_shell.store.personPath), state.declared))
    ShowTextMessage(dialog, kNotSameUnwritten, {failure->path, failure->reason}, MB_OK | MB_ICONHAND);
  DropSets(dialog, {static_cast<size_t>(at)});
}

void OnMergeAll(HWND dialog) {
  DuplicatesDialog& state = StateOf(dialog);
  std::vector<MergePlan> plans;
  std::vector<size_t> positions;
  for (size_t i = 0; i < state.sets.size(); ++i) {
    const DuplicateSet& set = state.sets[i];
    if (!IsIdenticalSet(g_shell.store, set, state.page)) continue;
    MergePlan plan{set, DefaultValues(g_shell.store, set)};
    if (CheckMergedValues(g_shell.store, set, plan.values) != kMsgNone) continue;
    plans.push_back(std::move(plan));
    positions.push_back(i);
  }
  if (plans.empty()) {
    MessageBoxById(dialog, kNoIdenticalSets, kCaptionId, MB_OK | MB_ICONINFORMATION);
    return;
  }
  std::string question = FillNumbers(LocalText(kMergeAllQuestion), {static_cast<uint32_t>(plans.size())});
  if (ShowBuiltMessage(dialog, question, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  MergeIntoSurvivors(dialog, plans);
  DropSets(dialog, positions);
}

BOOL OnInitDialog(HWND dialog, LPARAM parameter) {
  SetWindowLongPtrA(dialog, DWLP_USER, parameter);
  MakePersonListSpeak(GetDlgItem(dialog, kPersonList), false);
  GroupDialogFontOf().ApplyTo(dialog, {kSetList, kPersonList, 102, 103, 104, 105, 106, 107});
  FillSetList(dialog, StateOf(dialog));
  SendDlgItemMessageA(dialog, kSetList, LB_SETCURSEL, 0, 0);
  ShowSet(dialog);
  return TRUE;
}

void OnCommand(HWND dialog, int id, int code) {
  switch (id) {
    case kSetList:
      if (code == LBN_SELCHANGE) ShowSet(dialog);
      return;
    case kMergeButton: OnMerge(dialog); return;
    case kNotSameButton: OnNotSame(dialog); return;
    case kMergeAllButton: OnMergeAll(dialog); return;
    case IDCANCEL: EndDialog(dialog, 1); return;
  }
}

INT_PTR CALLBACK DuplicatesDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (IsLightGrayRequest(message)) return PaintLightGray(wParam);
  switch (message) {
    case WM_MEASUREITEM:  // arrives while the person list is created, before WM_INITDIALOG
      MakePersonItemResources();
      MeasurePersonItem(dialog, reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_DRAWITEM:
      DrawPersonItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_INITDIALOG:
      return OnInitDialog(dialog, lParam);
    case WM_COMMAND:
      OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_DESTROY:
      GroupDialogFontOf().RestoreSystemFont(dialog, {kSetList, kPersonList, 102, 103, 104, 105, 106, 107});
      ReleasePersonItemResources();
      return TRUE;
  }
  return FALSE;
}

std::vector<DuplicateSet> OfferedSets(const CodePage& page, const NotSameList& declared) {
  return WithoutDeclared(g_shell.store, FindDuplicateSets(g_shell.store, page), declared);
}

}  // namespace

void ShowDuplicatesDialog(HWND mainWindow) {
  DuplicatesDialog state;
  state.page = SystemCodePage();
  state.declared = ReadNotSameList(NotSamePath(g_shell.store.personPath));
  state.sets = OfferedSets(state.page, state.declared);
  if (state.sets.empty()) {
    MessageBoxById(mainWindow, kNoDuplicatesText, kCaptionId, MB_OK | MB_ICONINFORMATION);
    return;
  }
  DialogActiveScope active;
  RunLocalizedDialog("DUPDLG", mainWindow, DuplicatesDialogProc, reinterpret_cast<LPARAM>(&state));
}

std::string MayBeDuplicatesLine(const std::vector<uint32_t>& importedSlots) {
  if (importedSlots.empty()) return {};
  CodePage page = SystemCodePage();
  NotSameList declared = ReadNotSameList(NotSamePath(g_shell.store.personPath));
  size_t count = CountInSets(OfferedSets(page, declared), importedSlots);
  if (count == 0) return {};
  return FillNumbers(LoadLongString(2072), {static_cast<uint32_t>(count)});
}
