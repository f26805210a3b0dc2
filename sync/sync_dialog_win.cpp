#include "sync/sync_dialog_win.h"

#include <set>
#include <string>
#include <vector>

#include "app/localized_dialog.h"
#include "app/startup.h"
#include "app/text_message.h"
#include "dialogs/dialog_support_win.h"
#include "sync/dav_transport_win.h"
#include "sync/dav_url.h"
#include "sync/discovery.h"
#include "sync/sync_settings_win.h"
#include "sync/sync_shell_win.h"
#include "sync/sync_texts.h"
#include "win/dialog_frame_win.h"

namespace {

enum : int {
  kServerId = 100, kUserId = 101, kPasswordId = 102, kBooksId = 103, kConnectId = 104,
  kAutomaticId = 105, kGroupsId = 106,
};
constexpr int kFieldLimit = 1024;

struct SyncDialogState {
  SyncSettings account;                // as stored when the dialog opened
  std::vector<FoundAddressBook> books;  // what list 103 shows, in its order
  bool focusPassword = false;
  bool searching = false;              // Connect waits for the server: Connect and the list greyed
  std::string searchedServer;          // the server Connect asked, for its messages
  SyncDialogOutcome outcome = SyncDialogOutcome::kCancelled;
  DialogFont font;
};

SyncDialogState* StateOf(HWND dialog) {
  return reinterpret_cast<SyncDialogState*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

std::string FieldText(HWND dialog, int id) { return ReadControlText(dialog, id, kFieldLimit); }

// Passwords are wiped from the edit's copy as soon as they are read.
std::string ReadPassword(HWND dialog) {
  std::vector<char> text(kFieldLimit + 1);
  GetDlgItemTextA(dialog, kPasswordId, text.data(), static_cast<int>(text.size()));
  std::string password = text.data();
  SecureZeroMemory(text.data(), text.size());
  return password;
}

void ShowBooks(HWND dialog, SyncDialogState& state, const std::string& selectUrl) {
  HWND list = GetDlgItem(dialog, kBooksId);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  int selected = state.books.empty() ? -1 : 0;
  for (size_t i = 0; i < state.books.size(); ++i) {
    const FoundAddressBook& book = state.books[i];
    std::string line = book.displayName.empty() ? book.url : book.displayName;
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    if (SameDavPath(book.url, selectUrl) && ParseDavUrl(book.url) && ParseDavUrl(selectUrl) &&
        DavServerAddress(*ParseDavUrl(book.url)) == DavServerAddress(*ParseDavUrl(selectUrl)))
      selected = static_cast<int>(i);
  }
  SendMessageA(list, LB_SETCURSEL, selected, 0);
}

void FillGroupForms(HWND dialog, int groups) {
  HWND combo = GetDlgItem(dialog, kGroupsId);
  for (unsigned id : {kTextCategories, kTextGroupCards}) {
    std::string text = SyncText(id);
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  SendMessageA(combo, CB_SETCURSEL, groups == 1 ? 1 : 0, 0);
}

BOOL OnInit(HWND dialog, SyncDialogState* state) {
  SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
  state->font.Adopt(CreateFontFromSet(StandardFontSet));
  state->font.ApplyTo(dialog, {kServerId, kUserId, kPasswordId, kBooksId});
  for (int id : {kServerId, kUserId, kPasswordId}) SendDlgItemMessageA(dialog, id, EM_LIMITTEXT, kFieldLimit, 0);
  SetDlgItemTextA(dialog, kServerId, state->account.server.c_str());
  SetDlgItemTextA(dialog, kUserId, state->account.user.c_str());
  if (!state->account.book.empty()) {
    state->books.push_back({state->account.book, state->account.book});
    ShowBooks(dialog, *state, state->account.book);
  }
  CheckDlgButton(dialog, kAutomaticId, state->account.automatic ? BST_CHECKED : BST_UNCHECKED);
  FillGroupForms(dialog, state->account.groups);
  if (!state->focusPassword) return TRUE;
  SetFocus(GetDlgItem(dialog, kPasswordId));
  return FALSE;
}

// The password typed, else the one stored for the book shown.
std::string PasswordFor(HWND dialog, const SyncDialogState& state) {
  std::string typed = ReadPassword(dialog);
  return typed.empty() ? ReadSyncPassword(state.account.book) : typed;
}

void ShowDiscoveryFailure(HWND dialog, const std::string& server, const Discovery& found) {
  if (found.cancelled) return;
  if (found.unauthorized) {
    ShowBuiltMessage(dialog, SyncText(kTextUnauthorized), MB_ICONHAND | MB_SETFOREGROUND);
    SetFocus(GetDlgItem(dialog, kPasswordId));
    return;
  }
  UINT text = found.httpStatus == 0 ? kTextConnectionRefused : kTextNoAddressBook;  // no answer at all
  std::string why = found.failure == kAnswerTooLarge ? SyncText(kTextAnswerTooLarge) : found.failure;
  ShowTextMessage(dialog, text, {server, why}, MB_ICONHAND | MB_SETFOREGROUND);
}

// While Connect waits the dialog stays in use: the fields take typing, Cancel and OK end the wait.
void ShowSearching(HWND dialog, SyncDialogState& state, bool searching) {
  state.searching = searching;
  HWND connect = GetDlgItem(dialog, kConnectId);
  if (searching && GetFocus() == connect) SetFocus(GetDlgItem(dialog, kServerId));
  EnableWindow(connect, !searching);
  EnableWindow(GetDlgItem(dialog, kBooksId), !searching);
  if (searching) SendDlgItemMessageA(dialog, kBooksId, LB_RESETCONTENT, 0, 0);  // the server's books come
}

void StopSearching(HWND dialog, SyncDialogState& state) {
  if (!state.searching) return;
  AbandonDiscovery(dialog);
  ShowSearching(dialog, state, false);
  ShowBooks(dialog, state, state.account.book);  // as before Connect
}

void OnConnect(HWND dialog, SyncDialogState& state) {
  if (state.searching) return;
  std::string server = FieldText(dialog, kServerId);
  std::optional<DavUrl> url = ServerAddressFromTyped(server);
  if (!url) {
    ShowTextMessage(dialog, kTextNoAddressBook, {server, "?"}, MB_ICONHAND | MB_SETFOREGROUND);
    SetFocus(GetDlgItem(dialog, kServerId));
    return;
  }
  if (!MaySendPasswordTo(dialog, DavUrlText(*url))) return;
  std::string password = PasswordFor(dialog, state);
  bool started = StartDiscovery(dialog, server, FieldText(dialog, kUserId), password);
  SecureZeroMemory(password.data(), password.size());
  if (!started) return;
  state.searchedServer = DavServerAddress(*url);
  ShowSearching(dialog, state, true);
}

void OnBooksFound(HWND dialog, SyncDialogState& state, const Discovery& found) {
  if (!state.searching) return;
  ShowSearching(dialog, state, false);
  if (found.books.empty()) {
    state.books.clear();  // nothing stale to choose: the list shows what this server offers
    ShowBooks(dialog, state, {});
    return ShowDiscoveryFailure(dialog, state.searchedServer, found);
  }
  state.books = found.books;
  ShowBooks(dialog, state, state.account.book);
  SetFocus(GetDlgItem(dialog, kBooksId));
}

// The wait cursor with the arrow: the dialog still answers.
BOOL OnSetCursor(HWND dialog, const SyncDialogState* state) {
  if (!state || !state->searching) return FALSE;
  SetCursor(LoadCursor(nullptr, IDC_APPSTARTING));
  SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE);
  return TRUE;
}

std::string ChosenBook(HWND dialog, const SyncDialogState& state) {
  LRESULT index = SendDlgItemMessageA(dialog, kBooksId, LB_GETCURSEL, 0, 0);
  if (index < 0 || static_cast<size_t>(index) >= state.books.size()) return {};
  return state.books[index].url;
}

void OnOk(HWND dialog, SyncDialogState& state) {
  StopSearching(dialog, state);  // OK takes what the list shows
  SyncSettings account = state.account;
  account.server = FieldText(dialog, kServerId);
  account.user = FieldText(dialog, kUserId);
  account.automatic = IsDlgButtonChecked(dialog, kAutomaticId) == BST_CHECKED;
  int shown = SendDlgItemMessageA(dialog, kGroupsId, CB_GETCURSEL, 0, 0) == 1 ? 1 : 0;
  if (account.groups >= 0 || shown == 1) account.groups = shown;  // untouched "Categories" stays unset
  if (account.server.empty()) {
    WriteSyncSettings(account);  // the book and the state stay for a later return
    state.outcome = SyncDialogOutcome::kTurnedOff;
    EndDialog(dialog, IDOK);
    return;
  }
  std::string book = ChosenBook(dialog, state);
  if (book.empty()) {
    ShowBuiltMessage(dialog, SyncText(kTextChooseBook), MB_ICONHAND | MB_SETFOREGROUND);
    SetFocus(GetDlgItem(dialog, kConnectId));
    return;
  }
  bool otherBook = !state.account.book.empty() && book != state.account.book;
  if (otherBook && ShowTextMessage(dialog, kTextOtherBookQuestion, {book, state.account.book},
                                   MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2 | MB_SETFOREGROUND) != IDYES)
    return;
  std::string password = ReadPassword(dialog);
  if (!password.empty()) {  // never the old book's password for another server
    std::string reason;
    if (!StoreSyncPassword(book, account.user, password, reason))
      ShowTextMessage(dialog, kTextCredentialFailed, {reason}, MB_ICONHAND | MB_SETFOREGROUND);
    SecureZeroMemory(password.data(), password.size());
  }
  account.book = book;
  WriteSyncSettings(account);
  state.outcome = otherBook ? SyncDialogOutcome::kNewBook : SyncDialogOutcome::kSaved;
  EndDialog(dialog, IDOK);
}

void OnDestroy(HWND dialog, SyncDialogState* state) {
  if (!state) return;
  StopSearching(dialog, *state);
  SetDlgItemTextA(dialog, kPasswordId, "");
  state->font.RestoreSystemFont(dialog, {kServerId, kUserId, kPasswordId, kBooksId});
  state->font.Release();
}

INT_PTR CALLBACK SyncDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (IsLightGrayRequest(message)) return PaintLightGray(wParam);
  switch (message) {
    case WM_INITDIALOG: return OnInit(dialog, reinterpret_cast<SyncDialogState*>(lParam));
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK: OnOk(dialog, *StateOf(dialog)); return TRUE;
        case IDCANCEL: StopSearching(dialog, *StateOf(dialog)), EndDialog(dialog, IDCANCEL); return TRUE;
        case kConnectId: OnConnect(dialog, *StateOf(dialog)); return TRUE;
      }
      return FALSE;
    case WM_DESTROY: OnDestroy(dialog, StateOf(dialog)); return FALSE;
    case WM_SETCURSOR: return OnSetCursor(dialog, StateOf(dialog));
    case kBooksFoundMessage: OnBooksFound(dialog, *StateOf(dialog), *reinterpret_cast<const Discovery*>(lParam)); return TRUE;
  }
  return FALSE;
}

}  // namespace

SyncDialogOutcome RunSyncDialog(HWND owner, bool focusPassword) {
  SyncDialogState state;
  state.account = ReadSyncSettings();
  state.focusPassword = focusPassword;
  DialogActiveScope active;
  RunLocalizedDialog("SYNCDLG", owner, SyncDialogProc, reinterpret_cast<LPARAM>(&state));
  return state.outcome;
}

bool MaySendPasswordTo(HWND owner, const std::string& url) {
  static std::set<std::string> answered;  // server addresses the user allowed this run
  std::optional<DavUrl> parsed = ParseDavUrl(url);
  if (!parsed || parsed->https || IsLoopbackHost(parsed->host)) return true;
  std::string server = DavServerAddress(*parsed);
  if (answered.count(server)) return true;
  if (ShowTextMessage(owner, kTextPlainHttpQuestion, {server},
                      MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2 | MB_SETFOREGROUND) != IDYES)
    return false;
  answered.insert(server);
  return true;
}
