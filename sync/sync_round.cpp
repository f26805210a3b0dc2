#include "sync/sync_round.h"

SyncRound::SyncRound(DavTransport& transport, const BookSnapshot& snapshot, const SyncAccount& account,
                     const SyncState& state, const std::atomic<bool>& cancel, const SyncProgress& progress,
                     SyncJournal* journal, const CodePage& page)
    : transport_(transport), snapshot_(snapshot), account_(account), state_(state), cancel_(cancel),
      progress_(progress), journal_(journal), page_(page) {}

SyncResult SyncRound::Run() {
  SyncResult result;
  result.newState = state_;
  result.report.server = account_.bookUrl;
  result.restoredPersonsSeen = state_.restoredPersons;
  result.restoredGroupsSeen = state_.restoredGroups;
  return result;
}
