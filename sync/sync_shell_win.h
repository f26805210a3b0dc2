// The sync in the running program: commands 121, 122 and 125, the one network thread, automatic
// syncs by timer (mode 0 only), the apply on the main thread, the status bar's texts.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "sync/sync_state.h"

struct DeleteUndo;
struct MergeUndo;

// From the main window's creation: reads the state and, in mode 0 with automatic sync on,
// starts the first sync once the window shows.
void StartSyncShell(HWND mainWindow);

void ShowSyncSettings(HWND mainWindow);   // 121
void SynchronizeOrStop(HWND mainWindow);  // 122: starts a sync, or cancels the running one
void ShowSyncReport(HWND mainWindow);     // 125

// 122 greyed without an account, and its text while a sync runs.
void UpdateSyncMenu(HMENU menu);

// The sync's own messages and timers; true when the message was one of them.
bool HandleSyncMessage(HWND mainWindow, UINT message, WPARAM wParam, LPARAM lParam);

// "Set"/"Mail": a running sync is cancelled, nothing of it applied.
void CancelSyncForHandoff();

// Close in mode 0: changes not yet sent get one attempt of at most 10 seconds.
void SendChangesBeforeClose(HWND mainWindow);

// Connect's search for the address books, on the network thread (a running sync is stopped
// first). The books come to `dialog` as kBooksFoundMessage (lParam a const Discovery*, valid
// during the call) unless the dialog gave up the search before.
constexpr UINT kBooksFoundMessage = WM_APP + 40;
bool StartDiscovery(HWND dialog, const std::string& typedServer, const std::string& user, const std::string& password);
// Ends the dialog's search at once; its answer is dropped.
void AbandonDiscovery(HWND dialog);

// The status bar's sync text (empty for none); the buttons' hints come first.
const char* SyncStatusText();

// A merge of duplicates, its undo and an undo delete told to the sync state (written at once while
// no round runs), so that the next sync sends each as it is meant. Call the merge's after
// ApplyMerges, the undos' after their restores (`renames`: MergeRenames taken before RestoreMerge).
void NoteMergeForSync(const MergeUndo& undo);
void NoteUndoneMergeForSync(const MergeUndo& undo, const std::vector<PersonRename>& renames);
void NoteUndoneDeleteForSync(const DeleteUndo& undo);
