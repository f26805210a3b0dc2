// What a sync did, in the import report's form: the counts, then each conflict, each card left
// out and the failure, if any.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "import/import_report.h"

// The values are the string-table ids of the texts.
enum class SyncReason : int {
  kBothChanged = 2033,        // %s field, %s the server's value: this computer's value kept
  kBackFromServer = 2034,     // deleted here, changed on the server: back here
  kSentAgain = 2035,          // deleted on the server, changed here: sent again
  kTooLarge = 2036,           // a card over 64 MB, left on the server
  kNotACard = 2037,           // not a vCard, left on the server
  kCannotTake = 2038,         // no description possible or over the slot limit
  kLinked = 2039,             // linked to a card of the same description or address
};

enum SyncFieldText : int {
  kSyncFieldDescription = 2040,
  kSyncFieldEmail = 2041,
  kSyncFieldNames = 2042,
  kSyncFieldMemo = 2043,
  kSyncFieldMembers = 2044,
};

struct SyncReportLine {
  std::string description;  // the entry, as the book holds it (ANSI)
  SyncReason reason = SyncReason::kBothChanged;
  int field = 0;            // a SyncFieldText, for kBothChanged and kLinked
  std::string value;        // the server's value (ANSI), for kBothChanged
};

struct SyncReport {
  static constexpr size_t kMaxLines = 50;

  std::string server;         // the address book's URL, for the failure line
  uint32_t newHere = 0, changedHere = 0, removedHere = 0, sent = 0;
  uint32_t onlyOnServer = 0;  // cards without an e-mail address, counted in one line
  uint32_t leftOut = 0;       // cards not taken
  std::vector<SyncReportLine> lines;
  std::string failure;        // the system's words for what stopped the sync, or
  int failureStatus = 0;      // the server's HTTP status that stopped it (0 none)
  bool cancelled = false;
  bool stateDamaged = false;  // the state was damaged: this sync linked as a first sync
  std::string damagedCopy;

  bool failed() const { return !failure.empty() || failureStatus != 0; }
  void Add(std::string description, SyncReason reason, int field = 0, std::string value = {});
  // More than the counts: a sync started by hand shows the report at once.
  bool WorthTelling() const { return !lines.empty() || failed() || stateDamaged; }
};

// The report's text: the counts line, the server-only line, then the lines and the failure.
std::string BuildSyncReport(const SyncReport& report, const TextOfId& textOf);
