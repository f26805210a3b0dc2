// One sync round on the worker thread: the steps RunSyncRound takes, in one object so that each
// step is a short function over the round's working data.
#pragma once

#include <atomic>
#include <string>

#include "sync/sync_engine.h"

// Keys compare as the book compares them: letter case of A-Z ignored.
bool CompareNoCaseKey(const std::string& a, const std::string& b);

class SyncRound {
 public:
  SyncRound(DavTransport& transport, const BookSnapshot& snapshot, const SyncAccount& account,
            const SyncState& state, const std::atomic<bool>& cancel, const SyncProgress& progress,
            SyncJournal* journal, const CodePage& page);
  SyncResult Run();

 private:
  DavTransport& transport_;
  const BookSnapshot& snapshot_;
  const SyncAccount& account_;
  const SyncState& state_;
  const std::atomic<bool>& cancel_;
  const SyncProgress& progress_;
  SyncJournal* journal_;
  const CodePage& page_;
};
