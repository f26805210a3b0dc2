// Merges of duplicates and their undo against the in-memory CardDAV server: the survivor's own
// card is patched, the others' cards deleted, and an undo puts every card back as it was.
#include <gtest/gtest.h>

#include <cstring>

#include "dialogs/duplicate_merge.h"
#include "dialogs/duplicate_sets.h"
#include "dialogs_test_store.h"
#include "store/indexes.h"
#include "store_test_folder.h"
#include "sync/sync_engine.h"
#include "sync_fake_server.h"

namespace {

std::string Card(const std::string& uid, const std::string& fn, const std::string& email, const std::string& extra = "") {
  return "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" + uid + "\r\nFN:" + fn + "\r\nN:;" + fn + ";;;\r\nEMAIL;TYPE=INTERNET:" +
         email + "\r\n" + extra + "END:VCARD\r\n";
}

class SyncMergeTest : public BookFolderTest {
 protected:
  SyncResult Sync(uint64_t runId = 7, DavTransport* transport = nullptr) {
    BookSnapshot shot = TakeBookSnapshot(store_, runId);
    SyncAccount account;
    account.bookUrl = FakeCardDavServer::kBook;
    std::atomic<bool> cancel{false};
    server_.requests.clear();
    SyncResult result = RunSyncRound(transport ? *transport : server_, shot, account, state_, cancel, nullptr);
    SyncResult kept = result;
    ApplySyncResult(store_, shot, result, state_);
    return kept;
  }

  // The merge as the dialog makes it, noted for the next sync.
  void Merge(const std::vector<MergePlan>& plans) {
    undo_ = ApplyMerges(store_, plans, {}, {});
    renames_ = MergeRenames(store_, undo_);
    NoteMergedEntries(state_, renames_, 7, store_.codePage);
  }
  void UndoMerge() {
    ASSERT_TRUE(RestoreMerge(store_, undo_));
    NoteUndoneMerge(state_, renames_, MergeRestoredPersons(store_, undo_), 7, store_.codePage);
  }

  int Find(const char* description) { return FindPersonByDescription(store_, description); }
  uint32_t LivePersons() { return CountLivePersons(store_); }
  std::vector<std::string> MembersOf(const char* group) { return LiveMembersOf(store_, group); }
  std::vector<const DavRequest*> Sent(DavRequest::Kind kind) {
    std::vector<const DavRequest*> sent;
    for (const DavRequest& r : server_.requests)
      if (r.kind == kind) sent.push_back(&r);
    return sent;
  }
  static bool Holds(const std::string& text, const std::string& line) { return text.find(line) != std::string::npos; }

  // Three cards of one person from three programs, one with a telephone line, a group card
  // naming the second, and a category on the third's card.
  void ThreeCardsOfAnn() {
    a_ = server_.Store("a.vcf", Card("ua", "Ann Lee", "ann@example.org", "TEL;TYPE=CELL:+1 555 0100\r\nX-PHONE:kept\r\n"));
    b_ = server_.Store("b.vcf", Card("ub", "Lee, Ann", "ann@example.org", "NOTE:from outlook\r\n"));
    c_ = server_.Store("c.vcf", Card("uc", "A. Lee", "ann@example.org", "CATEGORIES:Work\r\n"));
    team_ = server_.Store("t.vcf", "BEGIN:VCARD\r\nVERSION:4.0\r\nUID:ut\r\nKIND:group\r\nFN:Team\r\n"
                                   "MEMBER:urn:uuid:ub\r\nEND:VCARD\r\n");
    Sync();
    ASSERT_EQ(LivePersons(), 3u);
    for (const std::string& url : {a_, b_, c_, team_}) before_.push_back(server_.Text(url));
  }

  // The survivor takes the second's description and the memo.
  MergePlan PlanTakingTheSecondsName() {
    std::vector<DuplicateSet> sets = FindDuplicateSets(store_, store_.codePage);
    EXPECT_EQ(sets.size(), 1u);
    MergePlan plan{sets.at(0), {"Lee, Ann", "ann@example.org", "", "", "Lee", "from outlook"}};
    EXPECT_EQ(plan.set.persons.front(), static_cast<uint32_t>(Find("Ann Lee")));
    return plan;
  }

  FakeCardDavServer server_;
  SyncState state_;
  MergeUndo undo_;
  std::vector<PersonRename> renames_;
  std::string a_, b_, c_, team_;
  std::vector<std::string> before_;
};

TEST_F(SyncMergeTest, AMergePatchesTheSurvivorsOwnCardAndDeletesTheOthers) {
  ThreeCardsOfAnn();
  Merge({PlanTakingTheSecondsName()});
  // A restart between the merge and the sync: the note comes back with the state.
  std::optional<SyncState> saved = SyncStateFromBytes(SyncStateBytes(state_));
  ASSERT_TRUE(saved);
  state_ = *saved;
  SyncResult result = Sync(8);
  EXPECT_EQ(result.stop, SyncStop::kDone);
  // One card, the survivor's own: same URL and UID, only the changed properties rewritten.
  EXPECT_EQ(server_.CardCount(), 2u);  // Ann and the group card
  ASSERT_TRUE(server_.Has(a_));
  EXPECT_FALSE(server_.Has(b_));
  EXPECT_FALSE(server_.Has(c_));
  const std::string& ann = server_.Text(a_);
  for (const char* line : {"UID:ua\r\n", "FN:Lee\\, Ann\r\n", "NOTE:from outlook\r\n", "TEL;TYPE=CELL:+1 555 0100\r\n",
                           "X-PHONE:kept\r\n", "EMAIL;TYPE=INTERNET:ann@example.org\r\n", "CATEGORIES:Work\r\n"})
    EXPECT_TRUE(Holds(ann, line)) << line << " in\n" << ann;
  for (const DavRequest* put : Sent(DavRequest::Kind::Put)) {
    EXPECT_FALSE(put->ifNoneMatchAny) << put->url;  // nothing is sent as a new card
    EXPECT_FALSE(put->ifMatch.empty());
  }
  std::vector<const DavRequest*> deletes = Sent(DavRequest::Kind::Delete);
  ASSERT_EQ(deletes.size(), 2u);
  for (const DavRequest* del : deletes) {
    EXPECT_TRUE(del->url == b_ || del->url == c_) << del->url;
    EXPECT_FALSE(del->ifMatch.empty());
  }
  // The group card names the survivor in place of the member whose card went.
  const std::string& team = server_.Text(team_);
  EXPECT_TRUE(Holds(team, "MEMBER:urn:uuid:ua\r\n")) << team;
  EXPECT_FALSE(Holds(team, "urn:uuid:ub")) << team;
  // The book keeps the survivor in both groups, and the next sync has nothing to do.
  EXPECT_EQ(LivePersons(), 1u);
  EXPECT_EQ(MembersOf("Team"), std::vector<std::string>{"Lee, Ann"});
  EXPECT_EQ(MembersOf("Work"), std::vector<std::string>{"Lee, Ann"});
  EXPECT_TRUE(state_.renamedPersons.empty());
  Sync(8);
  EXPECT_EQ(server_.Count(DavRequest::Kind::Put) + server_.Count(DavRequest::Kind::Delete), 0);
  EXPECT_EQ(LivePersons(), 1u);
  EXPECT_EQ(MembersOf("Team"), std::vector<std::string>{"Lee, Ann"});
}

// The connection goes after the survivor's card was sent: the others' cards still wait.
struct LosesTheFirstDelete : DavTransport {
  FakeCardDavServer& server;
  bool lost = false;
  explicit LosesTheFirstDelete(FakeCardDavServer& s) : server(s) {}
  DavAnswer Send(const DavRequest& r) override {
    if (r.kind == DavRequest::Kind::Delete && !lost) {
      lost = true;
      DavAnswer none;
      none.failure = "The connection was reset.";
      return none;
    }
    return server.Send(r);
  }
};

TEST_F(SyncMergeTest, ASyncThatStopsHalfWayLeavesTheNextToDeleteTheOthersNotTheSurvivor) {
  ThreeCardsOfAnn();
  Merge({PlanTakingTheSecondsName()});
  LosesTheFirstDelete transport(server_);
  EXPECT_EQ(Sync(7, &transport).stop, SyncStop::kFailed);
  ASSERT_TRUE(server_.Has(a_));
  ASSERT_TRUE(Holds(server_.Text(a_), "FN:Lee\\, Ann\r\n"));
  EXPECT_TRUE(server_.Has(b_));  // two entries now hold the survivor's description
  EXPECT_FALSE(state_.renamedPersons.empty());
  Sync(8);
  EXPECT_EQ(server_.CardCount(), 2u);
  EXPECT_TRUE(server_.Has(a_));
  EXPECT_TRUE(Holds(server_.Text(a_), "TEL;TYPE=CELL:+1 555 0100\r\n"));
  EXPECT_FALSE(server_.Has(b_));
  EXPECT_FALSE(server_.Has(c_));
  for (const DavRequest* put : Sent(DavRequest::Kind::Put)) EXPECT_NE(put->url, b_);
  EXPECT_EQ(LivePersons(), 1u);
}

TEST_F(SyncMergeTest, AnUndoAfterTheSyncPutsTheCardsBackWithTheirUidsAndTexts) {
  ThreeCardsOfAnn();
  Merge({PlanTakingTheSecondsName()});
  Sync();
  ASSERT_FALSE(server_.Has(b_));
  UndoMerge();
  Sync();
  // The merged persons' cards come back under their URLs, as they were.
  ASSERT_TRUE(server_.Has(b_));
  ASSERT_TRUE(server_.Has(c_));
  EXPECT_EQ(server_.Text(b_), before_[1]);
  EXPECT_EQ(server_.Text(c_), before_[2]);
  int putBack = 0;
  for (const DavRequest* put : Sent(DavRequest::Kind::Put)) putBack += put->ifNoneMatchAny;
  EXPECT_EQ(putBack, 2);
  EXPECT_EQ(server_.Count(DavRequest::Kind::Delete), 0);
  // The survivor's card takes its former values; its other lines never changed.
  const std::string& ann = server_.Text(a_);
  for (const char* line : {"UID:ua\r\n", "FN:Ann Lee\r\n", "N:;Ann Lee;;;\r\n", "TEL;TYPE=CELL:+1 555 0100\r\n", "X-PHONE:kept\r\n"})
    EXPECT_TRUE(Holds(ann, line)) << line << " in\n" << ann;
  EXPECT_FALSE(Holds(ann, "from outlook")) << ann;
  EXPECT_FALSE(Holds(ann, "CATEGORIES")) << ann;
  EXPECT_EQ(server_.CardCount(), 4u);
  // The group card names the second again; the book holds all three where they were.
  EXPECT_TRUE(Holds(server_.Text(team_), "MEMBER:urn:uuid:ub")) << server_.Text(team_);
  EXPECT_FALSE(Holds(server_.Text(team_), "MEMBER:urn:uuid:ua")) << server_.Text(team_);
  EXPECT_EQ(LivePersons(), 3u);
  EXPECT_EQ(MembersOf("Team"), std::vector<std::string>{"Lee, Ann"});
  EXPECT_EQ(MembersOf("Work"), std::vector<std::string>{"A. Lee"});
  EXPECT_STREQ((*store_.persons)[Find("Ann Lee")].memo, "");
  // Settled: the next sync sends nothing.
  Sync();
  EXPECT_EQ(server_.Count(DavRequest::Kind::Put) + server_.Count(DavRequest::Kind::Delete), 0);
  EXPECT_EQ(LivePersons(), 3u);
  EXPECT_EQ(server_.CardCount(), 4u);
}

TEST_F(SyncMergeTest, AMergeUndoneBeforeAnySyncSendsNothing) {
  ThreeCardsOfAnn();
  SyncState untouched = state_;
  Merge({PlanTakingTheSecondsName()});
  UndoMerge();
  EXPECT_TRUE(state_.renamedPersons.empty());
  Sync();
  EXPECT_EQ(server_.Count(DavRequest::Kind::Put) + server_.Count(DavRequest::Kind::Delete), 0);
  for (size_t i = 0; i < before_.size(); ++i) EXPECT_EQ(server_.Text(std::vector<std::string>{a_, b_, c_, team_}[i]), before_[i]);
  EXPECT_EQ(LivePersons(), 3u);
  EXPECT_EQ(state_.entries.size(), untouched.entries.size());
}

TEST_F(SyncMergeTest, MergeAllIdenticalReachesTheServerAsOneChangeAndTheDeletesPerSet) {
  auto card = [](const char* uid, const char* fn, const char* n, const char* email, const char* extra) {
    return std::string("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:") + uid + "\r\nFN:" + fn + "\r\nN:" + n +
           "\r\nEMAIL:" + email + "\r\n" + extra + "END:VCARD\r\n";
  };
  std::string ann1 = server_.Store("1.vcf", card("u1", "Ann Lee", "Lee;Ann;;;", "ann@example.org", "TEL:1\r\n"));
  std::string ann2 = server_.Store("2.vcf", card("u2", "Lee\\, Ann", "Lee;Ann;;;", "Ann@Example.org", ""));
  std::string bob1 = server_.Store("3.vcf", card("u3", "Bob Ray", "Ray;Bob;;;", "bob@example.org", ""));
  std::string bob2 = server_.Store("4.vcf", card("u4", "Ray\\, Bob", "Ray;Bob;;;", "bob@example.org", "ADR:;;Street 1;;;;\r\n"));
  std::string cy = server_.Store("5.vcf", card("u5", "Cy", ";Cy;;;", "cy@example.org", ""));
  Sync();
  ASSERT_EQ(LivePersons(), 5u);
  std::vector<MergePlan> plans;
  for (const DuplicateSet& set : FindDuplicateSets(store_, store_.codePage)) {
    ASSERT_TRUE(IsIdenticalSet(store_, set, store_.codePage));
    plans.push_back(MergePlan{set, DefaultValues(store_, set)});
  }
  ASSERT_EQ(plans.size(), 2u);
  std::string bob2Text = server_.Text(bob2);
  Merge(plans);
  Sync();
  EXPECT_EQ(LivePersons(), 3u);
  EXPECT_EQ(server_.CardCount(), 3u);
  EXPECT_TRUE(server_.Has(ann1) && server_.Has(bob1) && server_.Has(cy));
  EXPECT_TRUE(Holds(server_.Text(ann1), "TEL:1\r\n"));
  EXPECT_EQ(server_.Count(DavRequest::Kind::Delete), 2);
  for (const DavRequest* put : Sent(DavRequest::Kind::Put)) EXPECT_FALSE(put->ifNoneMatchAny) << put->url;
  // And its undo brings both sets back at once.
  UndoMerge();
  Sync();
  EXPECT_EQ(server_.CardCount(), 5u);
  EXPECT_EQ(server_.Text(bob2), bob2Text);
  EXPECT_TRUE(Holds(server_.Text(ann2), "UID:u2\r\n"));
  EXPECT_EQ(LivePersons(), 5u);
}

}  // namespace

namespace {

TEST_F(SyncMergeTest, AnUndoDeleteTheShellNotesPutsTheSentDeleteBack) {
  std::string url = server_.Store("a.vcf", Card("keep", "Ann Lee", "ann@example.org", "TEL:+1 555 0100\r\n"));
  Sync();
  ItemRef ann = MakeItemRef(static_cast<uint32_t>(Find("Ann Lee")), kPersonItem);
  DeleteUndo undo = RecordDelete(store_, {ann}, {0}, {});
  ApplyDelete(store_, undo);
  Sync();
  ASSERT_FALSE(server_.Has(url));
  std::string old = state_.removed.at(0).card.Text();
  ASSERT_EQ(RestoreDeletedEntries(store_, undo), UndoOutcome::Restored);
  NoteUndoneDelete(state_, store_, undo);
  Sync();
  ASSERT_TRUE(server_.Has(url));
  EXPECT_EQ(server_.Text(url), old);
  EXPECT_TRUE(Sent(DavRequest::Kind::Put).at(0)->ifNoneMatchAny);
}

TEST(SyncMergeUndo, AnApplyThatTouchesWhatTheMergeUndoPutsBackMakesItStale) {
  AddressStore store;
  AddTestPerson(store, "Ann Lee", "ann@x");
  AddTestPerson(store, "Lee, Ann", "ann@x");
  AddTestPerson(store, "Bob", "bob@x");
  AddTestGroup(store, "Team", {1});
  AddTestGroup(store, "Other", {2});
  MergeUndo undo = ApplyMerges(store, {MergePlan{{{0, 1}, kSameEmail}, {"Ann Lee", "ann@x", "", "", "", ""}}}, {}, {});
  AppliedSync applied;
  applied.changedPersons = {2};
  applied.changedGroups = {1};
  EXPECT_FALSE(AppliedTouchesMergeUndo(store, applied, undo));
  for (auto change : {&AppliedSync::changedPersons, &AppliedSync::removedPersons, &AppliedSync::changedGroups}) {
    AppliedSync touching;
    (touching.*change).push_back(0);
    EXPECT_TRUE(AppliedTouchesMergeUndo(store, touching, undo));
  }
  // A person the server added under a merged person's description would be there twice.
  uint32_t added = AddTestPerson(store, "lee, ann", "other@x");
  AppliedSync adding;
  adding.addedPersons = {added};
  EXPECT_TRUE(AppliedTouchesMergeUndo(store, adding, undo));
}

}  // namespace

namespace {

TEST_F(SyncMergeTest, AGroupCardKeepsAPhoneOnlyMemberAndAChangeHereIsNoConflict) {
  server_.Store("a.vcf", Card("ua", "Ann", "ann@example.org"));
  server_.Store("b.vcf", Card("ub", "Bob", "bob@example.org"));
  server_.Store("p.vcf", "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:up\r\nFN:Phone Only\r\nTEL:1\r\nEND:VCARD\r\n");
  std::string team = server_.Store("t.vcf", "BEGIN:VCARD\r\nVERSION:4.0\r\nUID:ut\r\nKIND:group\r\nFN:Team\r\n"
                                            "MEMBER:urn:uuid:ua\r\nMEMBER:urn:uuid:up\r\nEND:VCARD\r\n");
  Sync();
  ASSERT_EQ(MembersOf("Team"), std::vector<std::string>{"Ann"});
  AddTestMember(store_, "Team", "Bob");
  SyncResult result = Sync();
  for (const SyncReportLine& line : result.report.lines) EXPECT_NE(line.reason, SyncReason::kBothChanged) << line.description;
  const std::string& text = server_.Text(team);
  for (const char* line : {"MEMBER:urn:uuid:ua\r\n", "MEMBER:urn:uuid:ub\r\n", "MEMBER:urn:uuid:up\r\n"})
    EXPECT_TRUE(Holds(text, line)) << line << " in\n" << text;
  EXPECT_EQ(MembersOf("Team"), (std::vector<std::string>{"Ann", "Bob"}));
  Sync();
  EXPECT_EQ(server_.Count(DavRequest::Kind::Put), 0);
}

}  // namespace
