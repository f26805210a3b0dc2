// Two-way sync of the book with one CardDAV address book: what the shell calls, and when.
//
//   start (main):   SyncStateLoad load = LoadSyncState(dataFolder);  keep load.state as `state`;
//                   load.damaged: tell it (load.damagedCopy names the kept bytes); the next round
//                   links as a first sync does and its report says so.
//   a sync (main):  BookSnapshot shot = TakeBookSnapshot(store, runId);  // runId: fixed per run
//                   hand the worker shot, the SyncAccount and a COPY of state; a SyncJournal on
//                   SyncJournalPath(dataFolder) (the worker's alone until the apply).
//   worker:         SyncResult result = RunSyncRound(transport, shot, account, stateCopy, cancel,
//                                                    progress, &journal);
//                   progress(done, total) is called on the worker: post it on. The transport
//                   answers kAnswerTooLarge (failure) for a body over kMostAnswerBytes.
//                   post the result to the main thread.
//   main, when no dialog is open, for EVERY result (also cancelled or failed ones: the state
//   then keeps what the server already holds):
//                   AppliedSync applied = ApplySyncResult(store, shot, result, state);
//                   update the entry list from `applied`; SaveSyncState(dataFolder, state);
//                   result.stop says why it ended (kAuthNeeded: ask for the password);
//                   text = BuildSyncReport(result.report, textOf) (after the apply: its counts
//                   are what the book took); show it at once when result.report.WorthTelling().
//   at close:       the same with account.sendOnly = true (nothing fetched), at most 10 seconds.
//   Undo delete:    after RestoreDeletedEntries, NoteRestoredEntries(state, descriptions, names)
//                   (and SaveSyncState when no round runs): the next sync puts the cards back on
//                   the server as they were, with their old UID.
//   Merge of duplicates: after ApplyMerges, NoteMergedEntries(state, renames) (each survivor's
//                   description before and after; SaveSyncState when no round runs): the next sync
//                   patches each survivor's own card and deletes the others' cards.
//   Undo merge:     after RestoreMerge, NoteUndoneMerge(state, renames, restored descriptions):
//                   the others' cards come back as undo delete brings them, the survivors' cards
//                   take their former values; nothing is sent when no sync ran in between.
//   Another address book chosen: state = SyncState{} before the next round.
//
// The worker reads only the snapshot and its own copy of the state; it never touches the store.
// The apply does not count a change of the book (changeCount), so Undo delete stays possible;
// AppliedTouchesUndo tells when it must go stale, and the restore itself refuses a description
// the apply gave another person meanwhile.
// Texts of the snapshot and of the book changes are in the book's ANSI code page; everything
// that goes to or comes from the server is UTF-8.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/delete_undo.h"
#include "dialogs/duplicate_merge.h"
#include "store/code_page.h"
#include "store/data_file_io.h"
#include "store/records.h"
#include "sync/dav_exchange.h"
#include "sync/sync_report.h"
#include "sync/sync_state.h"

// ---- the book as the worker sees it --------------------------------------------------------

struct SnapshotPerson {
  uint32_t slot = 0;
  std::string description, email, first, middle, last, memo;
};

struct SnapshotGroup {
  uint32_t slot = 0;
  std::string name, memo;
  std::vector<std::string> members;  // live members' descriptions, in the book's order
};

struct BookSnapshot {
  std::vector<SnapshotPerson> persons;  // live persons, in slot order
  std::vector<SnapshotGroup> groups;    // live groups, in slot order
  uint64_t runId = 0;                   // the shell's run: slots identify entries within one run
  uint32_t changeCount = 0;             // the book's change count when it was taken
};

// Live persons and groups with their texts and memberships. Main thread; cheap enough to take
// before every sync (a copy of the texts, nothing else).
BookSnapshot TakeBookSnapshot(const AddressStore& store, uint64_t runId);

// ---- one sync round (worker thread) --------------------------------------------------------

struct SyncAccount {
  std::string bookUrl;  // the address book's absolute URL, ending in "/"
  enum class NewGroups { kAsBookKeeps, kCategories, kGroupCards };
  NewGroups newGroups = NewGroups::kAsBookKeeps;  // the setting of the dialog's combo, when set
  bool sendOnly = false;  // at close: send what changed here, fetch nothing
};

// An answer whose body passes this is not read whole: the shell hands it back with this
// failure text (and its HTTP status), and the core asks for fewer cards at a time.
constexpr size_t kMostAnswerBytes = size_t{64} * 1024 * 1024;
constexpr char kAnswerTooLarge[] = "answer over 64 MB";

// Called on the worker thread: cards done of the cards to do in this round.
using SyncProgress = std::function<void(uint32_t done, uint32_t total)>;

// What the book must take from the server, in the book's form (ANSI, limits applied).
struct CardPersonFields {
  std::string description, email, first, middle, last, memo;
};

struct BookChange {
  enum class Kind { kAddPerson, kUpdatePerson, kRemovePerson, kAddGroup, kUpdateGroup, kRemoveGroup };
  Kind kind = Kind::kAddPerson;
  // The entry as the snapshot held it (updates and removes): its slot and its key then.
  uint32_t slot = 0;
  std::string key;
  CardPersonFields person;               // persons: the new texts
  std::string groupName, groupMemo;  // groups: the new texts
  std::vector<std::string> members;  // groups: members' descriptions after the change, in order
};

enum class SyncStop {
  kDone,       // every step ran
  kCancelled,  // the cancel flag was set: nothing of the server's changes is applied
  kFailed,     // see report.failure; what was sent before the failure is in the state
  kAuthNeeded  // 401: ask for the password (command 122) or say so (automatic)
};

struct SyncCounts {
  uint32_t newHere = 0, changedHere = 0, removedHere = 0;  // book changes from the server
  uint32_t sent = 0;                                        // cards put or deleted on the server
  uint32_t conflicts = 0;
};

struct SyncResult {
  SyncStop stop = SyncStop::kDone;
  std::vector<BookChange> changes;  // applied in one step by ApplySyncResult
  SyncState newState;               // the state once the book holds `changes`
  SyncReport report;
  SyncCounts counts;
  // The restores the round's state held when it started (the ones noted later stay noted).
  std::vector<std::string> restoredPersonsSeen, restoredGroupsSeen;
  std::vector<PersonRename> renamedPersonsSeen;
};

// One round: local changes sent, server changes fetched and decided, all in memory. Each answer
// that changed the server is appended to the journal (when given) before the next request.
// A cancel or a failure leaves `changes` empty and `newState` with only what the server already
// holds (the sent cards), so that nothing is sent twice.
SyncResult RunSyncRound(DavTransport& transport, const BookSnapshot& snapshot, const SyncAccount& account,
                        SyncState state, const std::atomic<bool>& cancel, const SyncProgress& progress,
                        SyncJournal* journal = nullptr, const CodePage& page = SystemCodePage());

// ---- applying a result (main thread) -------------------------------------------------------

// What the entry list must do after an apply; slots of the store.
struct AppliedSync {
  std::vector<uint32_t> addedPersons, addedGroups;      // insert at the top
  std::vector<uint32_t> changedPersons, changedGroups;  // repaint
  std::vector<uint32_t> removedPersons, removedGroups;  // remove from the list (now deleted)
  uint32_t leftForNextSync = 0;  // entries changed here since the snapshot: not touched
  bool personFileWritten = false, groupFileWritten = false;
  bool saveFailed = false;       // a data file could not be written: the state did not move
  bool changed() const {
    return !addedPersons.empty() || !addedGroups.empty() || !changedPersons.empty() || !changedGroups.empty() ||
           !removedPersons.empty() || !removedGroups.empty();
  }
};

// Applies the result's changes in one step: records changed, both data files written once (those
// touched), indexes rebuilt once. An entry that differs from the snapshot now was changed here
// meanwhile: its change is left out and its state stays as before, so the next sync sees it
// changed on both sides. `state` becomes the result's state (keeping restores noted meanwhile).
AppliedSync ApplySyncResult(AddressStore& store, const BookSnapshot& snapshot, SyncResult& result,
                            SyncState& state, DataFileSystem& files = PlatformFiles());

// True when the apply changed a group the undo puts members back into: the shell then counts a
// change of the book (++store.changeCount), so that the undo goes stale rather than misplace them.
bool AppliedTouchesUndo(const AppliedSync& applied, const DeleteUndo& undo);

// The same for a merge's undo: true when the apply changed or removed a survivor, changed a group
// whose members the undo puts back, or gave a merged person's description to a person it added.
bool AppliedTouchesMergeUndo(const AddressStore& store, const AppliedSync& applied, const MergeUndo& undo);

// Undo delete brought these entries back (persons' descriptions, groups' names): the next sync
// puts their cards back on the server with their old UID and properties if the delete was sent.
// (Group cards come back the same way; a group kept as CATEGORIES through its members.)
void NoteRestoredEntries(SyncState& state, const std::vector<std::string>& persons,
                         const std::vector<std::string>& groups);

// NoteRestoredEntries for the entries of an undo delete, once RestoreDeletedEntries brought them back.
void NoteUndoneDelete(SyncState& state, const AddressStore& store, const DeleteUndo& undo);

// A merge of duplicates renamed each survivor from `from` to `to` (the same text when it kept its
// own description): it stays linked to its own card, even where it took a member's description;
// the members' cards go at the next sync.
// `runId` is the shell's run, `page` the book's code page.
void NoteMergedEntries(SyncState& state, const std::vector<PersonRename>& survivors, uint64_t runId,
                       const CodePage& page);

// Undo merge put the survivors back under their former descriptions (`survivors` as the merge
// noted them) and brought back the merged persons (their descriptions): a merge no sync has seen
// leaves no trace; one already sent (or taken by the round running now) is undone on the server
// at the next sync.
void NoteUndoneMerge(SyncState& state, const std::vector<PersonRename>& survivors,
                     const std::vector<std::string>& restored, uint64_t runId, const CodePage& page,
                     bool roundRunning = false);

// What a merge (or "Merge all identical") renamed, for the notes above: each survivor's
// description before it and now (call it right after ApplyMerges; the undo keeps the list).
std::vector<PersonRename> MergeRenames(const AddressStore& store, const MergeUndo& undo);
// The merged persons' descriptions, once RestoreMerge brought them back.
std::vector<std::string> MergeRestoredPersons(const AddressStore& store, const MergeUndo& undo);
