#include "sync/sync_shell_win.h"

#include <atomic>
#include <memory>
#include <string>

#include "app/main_window.h"
#include "app/message_text.h"
#include "app/panes/panes.h"
#include "app/shell_state.h"
#include "app/text_message.h"
#include "import/import_report.h"
#include "sync/dav_transport_win.h"
#include "sync/dav_url.h"
#include "sync/discovery.h"
#include "sync/sync_dialog_win.h"
#include "sync/sync_engine.h"
#include "sync/sync_settings_win.h"
#include "sync/sync_texts.h"
#include "win/accessible_object_win.h"

namespace {

constexpr UINT kProgressMessage = WM_APP + 36;   // wParam done, lParam total
constexpr UINT kDoneMessage = WM_APP + 37;       // lParam the job
constexpr UINT kStartMessage = WM_APP + 38;      // the first automatic sync, once the window shows
constexpr UINT kFoundMessage = WM_APP + 39;      // wParam the number of the discovery that ended
constexpr UINT_PTR kPeriodicTimer = 3601;        // every 15 minutes
constexpr UINT_PTR kAfterChangeTimer = 3602;     // 10 seconds after the last change of the book
constexpr UINT_PTR kWatchTimer = 3603;           // looks for changes of the book and open dialogs
constexpr UINT kPeriodMs = 15 * 60 * 1000;
constexpr UINT kAfterChangeMs = 10 * 1000;
constexpr UINT kWatchMs = 500;
constexpr DWORD kCloseAttemptMs = 10 * 1000;
constexpr UINT kReportCancelledText = 2046;  // the report's "The sync was stopped; ..."

// One round on the network thread: what it reads is its own copy.
struct SyncJob {
  BookSnapshot snapshot;
  SyncAccount account;
  SyncState state;
  SyncResult result;
  std::unique_ptr<WinHttpTransport> transport;
  std::unique_ptr<SyncJournal> journal;
  std::atomic<bool> cancel{false};
  HWND window = nullptr;
  bool byHand = false;
  bool passwordAsked = false;
  HANDLE thread = nullptr;
};

// Connect's discovery on the network thread.
struct DiscoveryJob {
  std::string typedServer;
  std::unique_ptr<WinHttpTransport> transport;
  Discovery found;
  HWND window = nullptr;  // the main window, where the thread posts
  HWND dialog = nullptr;  // the Sync settings dialog waiting for the books
  WPARAM number = 0;
  HANDLE thread = nullptr;
};

struct SyncShell {
  HWND mainWindow = nullptr;
  SyncState state;
  std::string folder;
  SyncJob* running = nullptr;                // while a round runs
  std::unique_ptr<DiscoveryJob> discovery;   // while Connect searches; never at once with a round
  WPARAM discoveries = 0;
  std::unique_ptr<SyncJob> waiting;          // a finished round waiting for the dialogs to close
  std::string report;                        // the last sync's report
  std::string status;                        // the status bar's text
  uint32_t changeCountSeen = 0;
  uint32_t changeCountSynced = 0;
  bool unsent = false;                       // the last round did not end: changes may wait
  uint64_t runId = 0;
};

SyncShell g_sync;

std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

void SetStatus(const std::string& text) {
  g_sync.status = text;
  if (!g_shell.statusBar) return;
  NotifyAccessibleEvent(EVENT_OBJECT_NAMECHANGE, g_shell.statusBar, 0);
  InvalidateRect(g_shell.statusBar, nullptr, TRUE);
}

std::string Grouped(uint32_t number) {
  std::string digits = std::to_string(number), out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

SyncAccount::NewGroups NewGroupsOf(const SyncSettings& settings) {
  if (settings.groups == 0) return SyncAccount::NewGroups::kCategories;
  if (settings.groups == 1) return SyncAccount::NewGroups::kGroupCards;
  return SyncAccount::NewGroups::kAsBookKeeps;
}

std::string BookUrlOf(const SyncSettings& settings) {
  std::string url = settings.book;
  if (!url.empty() && url.back() != '/') url += '/';
  return url;
}

DWORD WINAPI RunRound(LPVOID parameter) {
  SyncJob* job = static_cast<SyncJob*>(parameter);
  HWND window = job->window;
  uint32_t lastShown = 0;
  SyncProgress progress = [window, &lastShown](uint32_t done, uint32_t total) {
    if (done != total && done - lastShown < 25 && done != 0) return;
    lastShown = done;
    PostMessageA(window, kProgressMessage, done, total);
  };
  job->result = RunSyncRound(*job->transport, job->snapshot, job->account, job->state, job->cancel, progress,
                             job->journal.get());
  if (!PostMessageA(window, kDoneMessage, 0, reinterpret_cast<LPARAM>(job))) job->cancel = true;
  return 0;
}

// The one network thread is busy: a round or Connect's discovery.
bool Running() { return g_sync.running != nullptr || g_sync.discovery != nullptr; }

// Starts a round; false when none could start (no account, one runs, the user said No).
bool StartRound(HWND window, bool byHand, bool sendOnly = false, bool passwordAsked = false) {
  SyncSettings settings = ReadSyncSettings();
  if (!settings.IsSet() || Running() || g_sync.waiting) return false;
  if (!MaySendPasswordTo(window, settings.book)) return false;
  auto job = std::make_unique<SyncJob>();
  job->snapshot = TakeBookSnapshot(g_shell.store, g_sync.runId);
  job->account.bookUrl = BookUrlOf(settings);
  job->account.newGroups = NewGroupsOf(settings);
  job->account.sendOnly = sendOnly;
  if (g_sync.state.bookUrl.empty()) g_sync.state.bookUrl = job->account.bookUrl;
  job->state = g_sync.state;
  std::string password = ReadSyncPassword(settings.book);
  job->transport = std::make_unique<WinHttpTransport>(settings.user, password);
  SecureZeroMemory(password.data(), password.size());
  job->journal = std::make_unique<SyncJournal>(PlatformFiles(), SyncJournalPath(g_sync.folder));
  job->window = window;
  job->byHand = byHand;
  job->passwordAsked = passwordAsked;
  job->thread = CreateThread(nullptr, 0, RunRound, job.get(), 0, nullptr);
  if (!job->thread) return false;
  g_sync.running = job.release();
  SetStatus(FillPlaceholders(SyncText(kTextProgress), {"0", "?"}));
  return true;
}

void UpdateEntryList(const AppliedSync& applied) {
  if (!applied.changed() || !g_shell.entryList) return;
  FillEntryList(g_shell.entryList);
}

std::string CountsText(const SyncCounts& counts) {
  return FillPlaceholders(SyncText(kTextSynchronized), {Grouped(counts.newHere), Grouped(counts.changedHere),
                                                         Grouped(counts.removedHere), Grouped(counts.sent)});
}

std::string StoppedText(const SyncResult& result) {
  std::string why = result.report.failure.empty() ? SyncText(kTextSeeReport) : result.report.failure;
  return FillPlaceholders(SyncText(kTextSyncStopped), {why});
}

void AskPasswordAndRetry(HWND window, SyncJob& job) {
  if (!job.byHand || job.passwordAsked) {
    SetStatus(SyncText(kTextPasswordNeeded));
    return;
  }
  SyncDialogOutcome outcome = RunSyncDialog(window, true);
  if (outcome == SyncDialogOutcome::kCancelled || outcome == SyncDialogOutcome::kTurnedOff) {
    SetStatus(FillPlaceholders(SyncText(kTextSyncStopped), {SyncText(kTextUnauthorized)}));
    ShowBuiltMessage(window, g_sync.status, MB_ICONHAND | MB_SETFOREGROUND);
    return;
  }
  StartRound(window, true, false, true);
}

// The round's result goes into the book and the state; main thread, no dialog open.
void Apply(HWND window, std::unique_ptr<SyncJob> job) {
  SyncResult& result = job->result;
  AppliedSync applied = ApplySyncResult(g_shell.store, job->snapshot, result, g_sync.state);
  // An undo that would put back what the server just changed goes stale instead.
  bool touchesUndo = (g_shell.deleteUndo && AppliedTouchesUndo(applied, *g_shell.deleteUndo)) ||
                     (g_shell.mergeUndo && AppliedTouchesMergeUndo(g_shell.store, applied, *g_shell.mergeUndo));
  if (touchesUndo) ++g_shell.store.changeCount;
  UpdateEntryList(applied);
  SaveSyncState(g_sync.folder, g_sync.state);
  g_sync.report = BuildSyncReport(result.report, [](int id) { return LoadLongString(static_cast<UINT>(id)); });
  g_sync.unsent = result.stop != SyncStop::kDone || applied.leftForNextSync > 0;
  g_sync.changeCountSynced = g_shell.store.changeCount;
  g_sync.changeCountSeen = g_shell.store.changeCount;
  RunCommandEnabling(window);
  switch (result.stop) {
    case SyncStop::kDone:
      SetStatus(result.report.WorthTelling() && !job->byHand ? CountsText(result.counts) + " - " + SyncText(kTextSeeReport)
                                                              : CountsText(result.counts));
      if (job->byHand && result.report.WorthTelling()) ShowBuiltMessage(window, g_sync.report, MB_ICONINFORMATION);
      return;
    case SyncStop::kCancelled: SetStatus(LoadLongString(kReportCancelledText)); return;
    case SyncStop::kAuthNeeded: AskPasswordAndRetry(window, *job); return;
    case SyncStop::kFailed:
      SetStatus(StoppedText(result));
      if (job->byHand) ShowBuiltMessage(window, g_sync.report, MB_ICONHAND | MB_SETFOREGROUND);
      return;
  }
}

void OnDone(HWND window, SyncJob* finished) {
  std::unique_ptr<SyncJob> job(finished);
  if (job->thread) {
    WaitForSingleObject(job->thread, INFINITE);  // it has posted: it ends at once
    CloseHandle(job->thread);
    job->thread = nullptr;
  }
  if (g_sync.running == finished) g_sync.running = nullptr;
  if (job->cancel && job->result.stop != SyncStop::kCancelled) job->result.stop = SyncStop::kCancelled;
  if (g_shell.DialogActive > 0) {
    g_sync.waiting = std::move(job);  // applied once the dialogs close
  } else {
    Apply(window, std::move(job));
  }
  RunCommandEnabling(window);
}

// A cancelled round's request returns without waiting on the network, so the wait for its thread
// is short; its result comes in as a cancelled one.
void StopRunningRound(HWND window) {
  SyncJob* job = g_sync.running;
  if (!job) return;
  job->cancel = true;
  job->transport->Cancel();
  WaitForSingleObject(job->thread, INFINITE);
  MSG done;
  while (PeekMessageA(&done, window, kDoneMessage, kDoneMessage, PM_REMOVE))
    OnDone(window, reinterpret_cast<SyncJob*>(done.lParam));
  if (g_sync.running == job) OnDone(window, job);  // its message was lost
}

DWORD WINAPI RunDiscovery(LPVOID parameter) {
  auto* job = static_cast<DiscoveryJob*>(parameter);
  job->found = DiscoverAddressBooks(*job->transport, job->typedServer);
  PostMessageA(job->window, kFoundMessage, job->number, 0);
  return 0;
}

// The discovery's thread has ended or ends at once (it posted, or it was cancelled).
std::unique_ptr<DiscoveryJob> JoinDiscovery() {
  std::unique_ptr<DiscoveryJob> job = std::move(g_sync.discovery);
  if (job && job->thread) {
    WaitForSingleObject(job->thread, INFINITE);
    CloseHandle(job->thread);
    job->thread = nullptr;
  }
  return job;
}

void EndDiscovery() {
  if (g_sync.discovery) g_sync.discovery->transport->Cancel();
  JoinDiscovery();
}

void OnFound(WPARAM number) {
  if (!g_sync.discovery || g_sync.discovery->number != number) return;  // given up before
  std::unique_ptr<DiscoveryJob> job = JoinDiscovery();
  if (job->dialog && IsWindow(job->dialog))
    SendMessageA(job->dialog, kBooksFoundMessage, 0, reinterpret_cast<LPARAM>(&job->found));
}

bool Automatic() {
  if (g_shell.StartMode != 0) return false;
  SyncSettings settings = ReadSyncSettings();
  return settings.IsSet() && settings.automatic;
}

void OnWatch(HWND window) {
  if (g_sync.waiting && g_shell.DialogActive == 0) Apply(window, std::move(g_sync.waiting));
  if (g_shell.store.changeCount != g_sync.changeCountSeen) {
    g_sync.changeCountSeen = g_shell.store.changeCount;
    if (Automatic()) SetTimer(window, kAfterChangeTimer, kAfterChangeMs, nullptr);
  }
}

void StartAutomatic(HWND window) {
  if (Automatic()) StartRound(window, false);
}

}  // namespace

void StartSyncShell(HWND window) {
  g_sync.mainWindow = window;
  g_sync.folder = FolderOf(g_shell.store.personPath);
  g_sync.runId = (static_cast<uint64_t>(GetTickCount()) << 32) ^ GetCurrentProcessId();
  SyncStateLoad load = LoadSyncState(g_sync.folder);
  g_sync.state = std::move(load.state);
  g_sync.changeCountSeen = g_sync.changeCountSynced = g_shell.store.changeCount;
  SetTimer(window, kWatchTimer, kWatchMs, nullptr);
  if (g_shell.StartMode != 0) return;  // beside a host no sync starts by itself
  SetTimer(window, kPeriodicTimer, kPeriodMs, nullptr);
  PostMessageA(window, kStartMessage, 0, 0);
}

void ShowSyncSettings(HWND window) {
  SyncDialogOutcome outcome = RunSyncDialog(window, false);
  if (outcome == SyncDialogOutcome::kNewBook) {
    StopRunningRound(window);
    g_sync.waiting.reset();
    g_sync.state = SyncState();
    SaveSyncState(g_sync.folder, g_sync.state);
  }
  if (g_sync.waiting && g_shell.DialogActive == 0) Apply(window, std::move(g_sync.waiting));  // stopped by Connect
  RunCommandEnabling(window);
  if (outcome == SyncDialogOutcome::kNewBook || outcome == SyncDialogOutcome::kSaved) StartRound(window, true);
}

void SynchronizeOrStop(HWND window) {
  if (g_sync.running) {
    g_sync.running->cancel = true;
    g_sync.running->transport->Cancel();
    return;
  }
  StartRound(window, true);
}

void ShowSyncReport(HWND window) {
  ShowBuiltMessage(window, g_sync.report.empty() ? SyncText(kTextNoReportYet) : g_sync.report, MB_ICONINFORMATION);
}

void UpdateSyncMenu(HMENU menu) {
  if (!menu) return;
  bool running = g_sync.running != nullptr;
  static std::string idleText;  // the menu's own "&Synchronize\tF5", kept while the other shows
  if (idleText.empty()) {
    char text[128] = {};
    GetMenuStringA(menu, kCmdSynchronize, text, sizeof(text), MF_BYCOMMAND);
    idleText = text;
  }
  std::string text = running ? SyncText(kTextStopSyncMenu) : idleText;
  ModifyMenuA(menu, kCmdSynchronize, MF_BYCOMMAND | MF_STRING, kCmdSynchronize, text.c_str());
  bool enabled = running || ReadSyncSettings().IsSet();
  EnableMenuItem(menu, kCmdSynchronize, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

bool HandleSyncMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kProgressMessage:
      if (g_sync.running)
        SetStatus(FillPlaceholders(SyncText(kTextProgress), {Grouped(static_cast<uint32_t>(wParam)),
                                                              Grouped(static_cast<uint32_t>(lParam))}));
      return true;
    case kDoneMessage: OnDone(window, reinterpret_cast<SyncJob*>(lParam)); return true;
    case kStartMessage: StartAutomatic(window); return true;
    case kFoundMessage: OnFound(wParam); return true;
    case WM_TIMER:
      if (wParam == kWatchTimer) OnWatch(window);
      else if (wParam == kAfterChangeTimer) KillTimer(window, kAfterChangeTimer), StartAutomatic(window);
      else if (wParam == kPeriodicTimer) StartAutomatic(window);
      else return false;
      return true;
  }
  return false;
}

void CancelSyncForHandoff() {
  if (!g_sync.running) return;
  g_sync.running->cancel = true;
  g_sync.running->transport->Cancel();
}

void SendChangesBeforeClose(HWND window) {
  EndDiscovery();
  if (g_shell.StartMode != 0 || !ReadSyncSettings().IsSet()) return;
  StopRunningRound(window);  // a round under way counts as not ended: its changes go now
  bool changed = g_shell.store.changeCount != g_sync.changeCountSynced || g_sync.unsent;
  if (!changed || Running()) return;
  SetStatus(SyncText(kTextSendingAtClose));
  UpdateWindow(g_shell.statusBar);
  if (!StartRound(window, false, true)) return;
  SyncJob* job = g_sync.running;
  DWORD start = GetTickCount();
  while (g_sync.running == job) {
    DWORD spent = GetTickCount() - start;
    if (spent >= kCloseAttemptMs) break;
    if (WaitForSingleObject(job->thread, kCloseAttemptMs - spent) == WAIT_OBJECT_0) break;
  }
  if (WaitForSingleObject(job->thread, 0) != WAIT_OBJECT_0) {
    job->cancel = true;
    job->transport->Cancel();
    WaitForSingleObject(job->thread, 2000);  // a cancelled request returns at once
  }
  // The round posted its result (or will not come back): take it now, before the window goes.
  MSG done;
  while (PeekMessageA(&done, window, kDoneMessage, kDoneMessage, PM_REMOVE))
    OnDone(window, reinterpret_cast<SyncJob*>(done.lParam));
}

// Connect stops a running sync rather than waiting for it: the user is changing the account the
// sync runs for, and a stopped round loses nothing (its result is not taken; the next sync does it).
bool StartDiscovery(HWND dialog, const std::string& typedServer, const std::string& user, const std::string& password) {
  HWND window = g_sync.mainWindow;
  StopRunningRound(window);
  EndDiscovery();
  auto job = std::make_unique<DiscoveryJob>();
  job->typedServer = typedServer;
  job->transport = std::make_unique<WinHttpTransport>(user, password);
  job->window = window;
  job->dialog = dialog;
  job->number = ++g_sync.discoveries;
  job->thread = CreateThread(nullptr, 0, RunDiscovery, job.get(), 0, nullptr);
  if (!job->thread) return false;
  g_sync.discovery = std::move(job);
  return true;
}

void AbandonDiscovery(HWND dialog) {
  if (g_sync.discovery && g_sync.discovery->dialog == dialog) EndDiscovery();
}

const char* SyncStatusText() { return g_sync.status.c_str(); }

namespace {

// Only a book that has synced keeps notes: a first sync links by description anyway.
bool KeepsSyncNotes() { return !g_sync.state.entries.empty() || !g_sync.state.removed.empty(); }

void SaveNotesUnlessRunning() {
  if (!g_sync.running && !g_sync.waiting) SaveSyncState(g_sync.folder, g_sync.state);
}

}  // namespace

void NoteMergeForSync(const MergeUndo& undo) {
  if (!KeepsSyncNotes()) return;
  NoteMergedEntries(g_sync.state, MergeRenames(g_shell.store, undo), g_sync.runId, g_shell.store.codePage);
  SaveNotesUnlessRunning();
}

void NoteUndoneMergeForSync(const MergeUndo& undo, const std::vector<PersonRename>& renames) {
  if (!KeepsSyncNotes()) return;
  bool roundRunning = g_sync.running || g_sync.waiting;
  NoteUndoneMerge(g_sync.state, renames, MergeRestoredPersons(g_shell.store, undo), g_sync.runId,
                  g_shell.store.codePage, roundRunning);
  SaveNotesUnlessRunning();
}

void NoteUndoneDeleteForSync(const DeleteUndo& undo) {
  if (!KeepsSyncNotes()) return;
  NoteUndoneDelete(g_sync.state, g_shell.store, undo);
  SaveNotesUnlessRunning();
}
