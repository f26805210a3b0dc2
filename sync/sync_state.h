// What the book and the server held at the last sync: per card its URL, ETag, UID and last text
// from the server, and the entry as both sides agreed on it then. Kept in "sync.state" beside the
// data files, rewritten whole at the end of a sync; "sync.journal" holds, flushed at once, every
// answer that changed the server since.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "store/data_file_io.h"
#include "store/file_state.h"

// How a group is kept on the server.
enum class GroupForm : uint8_t {
  kCategories = 0,  // CATEGORIES on the members' cards; no card of its own
  kVCard4 = 1,      // KIND:group with MEMBER:urn:uuid:...
  kApple = 2,       // X-ADDRESSBOOKSERVER-KIND:group with X-ADDRESSBOOKSERVER-MEMBER
};

struct CardReading;  // what the book reads from a card (card_text.h)

// The server's text of one card. Immutable and shared: the state, its copies and a round's
// parsed card hold one text, so a copy of the state costs no card texts. A long base64 value
// (a PHOTO) is kept as its bytes where the text comes back from them byte for byte; what the
// book reads from the text is kept with it once read, so an unchanged card is read once a run.
class CardText {
 public:
  CardText() = default;
  CardText(std::string text);                                  // NOLINT: a text is a card text
  CardText(const char* text) : CardText(std::string(text)) {}  // NOLINT

  std::string Text() const;  // the whole text, as it came
  bool empty() const { return !shared_; }

  // The reading kept with the text (none yet), and the one to keep; card_text.cpp's alone.
  const CardReading* Reading() const;
  const CardReading* KeepReading(const CardReading* reading) const;

  struct Shared;

 private:
  std::shared_ptr<const Shared> shared_;
};

struct SyncedEntry {
  bool isGroup = false;
  GroupForm form = GroupForm::kCategories;  // groups only
  std::string url;    // the card's absolute URL; empty for a CATEGORIES group
  std::string etag;   // empty: a PUT whose answer never came, or a card to put back
  std::string uid;    // empty when the card has none (tracked by its URL)
  CardText card;      // the server's last text of the card (UTF-8), or the text last sent
  // The entry as both sides held it at the last sync, in the book's form (ANSI).
  std::string key;    // description or group name
  std::string email, first, middle, last, memo;
  std::vector<std::string> members;  // groups: members' descriptions in order
  uint32_t slot = 0;  // the slot at the last sync, within run `runId`
  uint64_t runId = 0;
};

// A person here renamed by a merge of duplicates (or its undo) from `from` to `to`: the entry of
// the card at `url` is the one now described `to`, before any other entry of that key.
struct PersonRename {
  std::string from, to;
  std::string url;    // the card it stays linked to, as the state named it when noted
  uint32_t slot = 0;  // the person's slot (not stored: it finds the card when noted)
  bool operator==(const PersonRename& o) const { return from == o.from && to == o.to && url == o.url; }
};

struct SyncState {
  std::string bookUrl;    // the address book these entries belong to
  std::string syncToken;  // empty: compare ETags
  std::vector<SyncedEntry> entries;
  std::vector<SyncedEntry> removed;  // deleted here and on the server: kept for Undo delete
  std::vector<std::string> restoredPersons, restoredGroups;  // noted by Undo delete, not yet sent
  std::vector<PersonRename> renamedPersons;  // noted by merges and their undo, in order, not yet sent
  uint32_t onlyOnServer = 0;  // cards without an e-mail address left on the server at the last sync
  // Not stored: where LoadSyncState kept a damaged state's bytes. The next round that ends
  // reports it (and links as a first sync does, since the state is empty), then clears it.
  std::string damagedCopy;
  bool damaged = false;
};

// The files of the state, beside the data files.
std::string SyncStatePath(const std::string& dataFolder);
std::string SyncJournalPath(const std::string& dataFolder);

struct SyncStateLoad {
  SyncState state;
  bool damaged = false;     // the file could not be read whole: an empty state, first sync next
  std::string damagedCopy;  // where its bytes were kept, for the message
  std::optional<FileFailure> failure;  // the state with the journal folded in could not be written
};

// Reads the state and folds in the journal of a sync that did not end (its answers are on the
// server); then writes the state whole and removes the journal, so the next sync starts clean.
// A missing state is an empty one.
SyncStateLoad LoadSyncState(const std::string& dataFolder, DataFileSystem& files = PlatformFiles());

// Writes the state whole (temporary file, flushed, put in place), then removes the journal.
std::optional<FileFailure> SaveSyncState(const std::string& dataFolder, const SyncState& state,
                                         DataFileSystem& files = PlatformFiles());

// The state's bytes, and the state read back from them (none when they are damaged).
std::vector<uint8_t> SyncStateBytes(const SyncState& state);
std::optional<SyncState> SyncStateFromBytes(const std::vector<uint8_t>& bytes);

// One answer that changed the server.
struct JournalRecord {
  enum class Kind : uint8_t { kPutSent, kPutDone, kDeleted };
  Kind kind = Kind::kPutSent;
  SyncedEntry entry;  // kPutSent: the entry as sent (etag empty); kPutDone: with the ETag; kDeleted: url
};

// The append-only journal of one round; each record is flushed to the device before Append
// returns. Used by the worker thread only.
class SyncJournal {
 public:
  SyncJournal(DataFileSystem& files, std::string path) : files_(files), path_(std::move(path)) {}
  bool Append(const JournalRecord& record);  // false when it could not be written
 private:
  DataFileSystem& files_;
  std::string path_;
  std::unique_ptr<OutputFile> file_;
};

// The journal's records applied to a state, in order (what LoadSyncState folds in).
void ApplyJournal(SyncState& state, const std::vector<uint8_t>& journalBytes);
