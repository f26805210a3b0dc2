// The sync core against an in-memory CardDAV server: what each side gets, and that nothing is
// lost or doubled on either side.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "dialogs/name_parts.h"
#include "store/indexes.h"
#include "sync/card_text.h"
#include "sync/sync_engine.h"
#include "sync_fake_server.h"
#include "dialogs_test_store.h"
#include "store_test_folder.h"

namespace {

std::string Card(const std::string& uid, const std::string& fn, const std::string& email,
                 const std::string& extra = "") {
  std::string text = "BEGIN:VCARD\r\nVERSION:3.0\r\n";
  if (!uid.empty()) text += "UID:" + uid + "\r\n";
  text += "FN:" + fn + "\r\nN:;" + fn + ";;;\r\n";
  if (!email.empty()) text += "EMAIL;TYPE=INTERNET:" + email + "\r\n";
  return text + extra + "END:VCARD\r\n";
}

class SyncTest : public BookFolderTest {
 protected:
  SyncResult Sync(SyncAccount::NewGroups groups = SyncAccount::NewGroups::kAsBookKeeps) {
    BookSnapshot shot = TakeBookSnapshot(store_, 7);
    SyncAccount account;
    account.bookUrl = FakeCardDavServer::kBook;
    account.newGroups = groups;
    std::atomic<bool> cancel{false};
    SyncResult result = RunSyncRound(server_, shot, account, state_, cancel, nullptr);
    SyncResult kept = result;
    applied_ = ApplySyncResult(store_, shot, result, state_);
    return kept;
  }

  int Find(const char* description) { return FindPersonByDescription(store_, description); }
  PersonRecord& P(const char* description) { return (*store_.persons)[Find(description)]; }
  uint32_t LivePersons() { return CountLivePersons(store_); }
  std::vector<std::string> MembersOf(const char* group) { return LiveMembersOf(store_, group); }
  std::string CardOf(const char* description) {
    for (const SyncedEntry& e : state_.entries)
      if (!e.isGroup && CompareNoCase(e.key.c_str(), description, SystemCodePage()) == 0) return server_.Text(e.url);
    return "";
  }
  std::string UrlOf(const char* description) {
    for (const SyncedEntry& e : state_.entries)
      if (CompareNoCase(e.key.c_str(), description, SystemCodePage()) == 0) return e.url;
    return "";
  }
  void SetMemo(const char* description, const char* memo) { CopyToField(P(description).memo, kTextFieldSize, memo); }

  FakeCardDavServer server_;
  SyncState state_;
  AppliedSync applied_;
};

TEST_F(SyncTest, FirstSyncIntoAnEmptyBookTakesThePersonsAndCountsPhoneOnlyCardsOnce) {
  server_.Store("a.vcf", Card("a", "Ann Arbor", "ann@example.org", "TEL:+1 555\r\n"));
  server_.Store("b.vcf", Card("b", "Bob", "bob@example.org", "NOTE:line one\\nline two\r\n"));
  server_.Store("c.vcf", Card("c", "Phone Only", ""));
  server_.Store("d.vcf", Card("d", "Also Phone", ""));
  SyncResult result = Sync();
  EXPECT_EQ(result.stop, SyncStop::kDone);
  EXPECT_EQ(LivePersons(), 2u);
  ASSERT_GE(Find("Ann Arbor"), 0);
  EXPECT_STREQ(P("Ann Arbor").email, "ann@example.org");
  EXPECT_STREQ(P("Bob").memo, "line one line two");
  EXPECT_EQ(result.report.onlyOnServer, 2u);
  EXPECT_EQ(result.counts.newHere, 2u);
  EXPECT_EQ(result.counts.sent, 0u);
  EXPECT_EQ(server_.Count(DavRequest::Kind::Put), 0);
  // Files written once each, and the next sync has nothing to do.
  EXPECT_TRUE(applied_.personFileWritten);
  EXPECT_EQ(applied_.addedPersons.size(), 2u);
  server_.requests.clear();
  Sync();
  EXPECT_EQ(server_.Count(DavRequest::Kind::Put), 0);
  EXPECT_EQ(LivePersons(), 2u);
  EXPECT_FALSE(applied_.changed());
}

TEST_F(SyncTest, FirstSyncLinksByDescriptionThenAddressOneToOneAndSendsTheRest) {
  AddTestPerson(store_, "ann arbor", "ann@home.example", "Ann;;Arbor", "from here");
  AddTestPerson(store_, "Robert", "bob@example.org", ";;", "");
  AddTestPerson(store_, "Cy", "", ";;", "no address");
  server_.Store("a.vcf", Card("a", "Ann Arbor", "ann@example.org"));
  server_.Store("b.vcf", Card("b", "Bob", "bob@example.org"));
  SyncResult result = Sync();
  EXPECT_EQ(LivePersons(), 3u);
  EXPECT_EQ(server_.CardCount(), 3u);
  // Differences keep this computer's value on both sides, and are reported.
  EXPECT_STREQ(P("ann arbor").email, "ann@home.example");
  EXPECT_NE(CardOf("ann arbor").find("EMAIL;TYPE=INTERNET:ann@home.example"), std::string::npos);
  EXPECT_NE(CardOf("Robert").find("FN:Robert"), std::string::npos);
  bool reportedEmail = false;
  for (const SyncReportLine& line : result.report.lines)
    reportedEmail |= line.reason == SyncReason::kBothChanged && line.field == kSyncFieldEmail && line.value == "ann@example.org";
  EXPECT_TRUE(reportedEmail);
  // The person without an address is sent as a new vCard 3.0 card under a fresh UUID.
  std::string cy = CardOf("Cy");
  EXPECT_NE(cy.find("VERSION:3.0"), std::string::npos);
  EXPECT_NE(cy.find("NOTE:no address"), std::string::npos);
  const DavRequest* put = nullptr;
  for (const DavRequest& r : server_.requests)
    if (r.kind == DavRequest::Kind::Put && r.ifNoneMatchAny) put = &r;
  ASSERT_NE(put, nullptr);
  std::string name = put->url.substr(std::strlen(FakeCardDavServer::kBook));
  ASSERT_EQ(name.size(), 36u + 4u);
  EXPECT_EQ(name[14], '4');
  EXPECT_NE(put->body.find("UID:" + name.substr(0, 36)), std::string::npos);
  // A second sync changes nothing on either side.
  server_.requests.clear();
  Sync();
  EXPECT_EQ(server_.Count(DavRequest::Kind::Put), 0);
  EXPECT_EQ(server_.CardCount(), 3u);
  EXPECT_EQ(LivePersons(), 3u);
}

TEST_F(SyncTest, AnEditHereRewritesOnlyThatPropertyAndKeepsEveryOtherLine) {
  std::string extra =
      "TEL;TYPE=CELL:+49 30 1234\r\nADR;TYPE=HOME:;;Street 1;Town;;12345;DE\r\n"
      "PHOTO;ENCODING=b;TYPE=JPEG:AAAABBBBCCCCDDDDEEEEFFFFGGGGHHHHIIIIJJJJKKKKLLLLMMMMNNNNOOOOPPPPQQQQ\r\n"
      " RRRRSSSS\r\nitem1.EMAIL:second@example.org\r\nREV:20200101T000000Z\r\nX-ODD;x=1:kept\r\n";
  std::string url = server_.Store("a.vcf", Card("a", "Ann", "ann@example.org", extra));
  Sync();
  SetMemo("Ann", "memo here");
  Sync();
  const std::string& text = server_.Text(url);
  EXPECT_NE(text.find("NOTE:memo here\r\n"), std::string::npos);
  for (const char* line : {"TEL;TYPE=CELL:+49 30 1234\r\n", "ADR;TYPE=HOME:;;Street 1;Town;;12345;DE\r\n",
                           "QQQQ\r\n RRRRSSSS\r\n", "item1.EMAIL:second@example.org\r\n", "X-ODD;x=1:kept\r\n",
                           "VERSION:3.0\r\n", "UID:a\r\n", "FN:Ann\r\n", "EMAIL;TYPE=INTERNET:ann@example.org\r\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line;
  EXPECT_EQ(text.find("REV:20200101T000000Z"), std::string::npos);
  EXPECT_NE(text.find("REV:"), std::string::npos);
  const DavRequest& put = server_.requests.back();
  EXPECT_EQ(put.kind, DavRequest::Kind::Put);
  EXPECT_FALSE(put.ifMatch.empty());
}

TEST_F(SyncTest, AnEditOnTheServerReachesTheBookAndLimitsCountAsEqual) {
  std::string longNote(300, 'n');
  std::string url = server_.Store("a.vcf", Card("a", "Ann", "ann@example.org", "NOTE:" + longNote + "\r\n"));
  Sync();
  EXPECT_EQ(std::strlen(P("Ann").memo), 258u);
  server_.Store("a.vcf", Card("a", "Ann", "new@example.org", "NOTE:" + longNote + "\r\n"));
  server_.requests.clear();
  Sync();
  EXPECT_STREQ(P("Ann").email, "new@example.org");
  // The book's shortened memo is never written over the server's text.
  EXPECT_EQ(server_.Count(DavRequest::Kind::Put), 0);
  EXPECT_NE(server_.Text(url).find(longNote), std::string::npos);
}

TEST_F(SyncTest, BothSidesChangedAreMergedFieldByFieldAndThisComputerWinsAField) {
  std::string url = server_.Store("a.vcf", Card("a", "Ann", "ann@example.org", "NOTE:old\r\n"));
  Sync();
  SetMemo("Ann", "memo here");
  CopyToField(P("Ann").names, kTextFieldSize, "Anna;;Here");
  server_.Store("a.vcf", "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:a\r\nFN:Ann\r\nN:Phone;Anna;;;\r\n"
                         "EMAIL;TYPE=INTERNET:phone@example.org\r\nNOTE:old\r\nEND:VCARD\r\n");
  SyncResult result = Sync();
  EXPECT_STREQ(P("Ann").email, "phone@example.org");
  EXPECT_STREQ(P("Ann").memo, "memo here");
  EXPECT_STREQ(P("Ann").names, "Anna;;Here");
  const std::string& text = server_.Text(url);
  EXPECT_NE(text.find("EMAIL;TYPE=INTERNET:phone@example.org"), std::string::npos);
  EXPECT_NE(text.find("NOTE:memo here"), std::string::npos);
  EXPECT_NE(text.find("N:Here;Anna;;;"), std::string::npos);
  ASSERT_EQ(result.report.lines.size(), 1u);
  EXPECT_EQ(result.report.lines[0].description, "Ann");
  EXPECT_EQ(result.report.lines[0].field, kSyncFieldNames);
  EXPECT_EQ(result.report.lines[0].value, "Anna;;Phone");
}

TEST_F(SyncTest, DeletesGoEachWayAndAChangeOnTheOtherSideWins) {
  std::string a = server_.Store("a.vcf", Card("a", "Ann", "ann@example.org"));
  std::string b = server_.Store("b.vcf", Card("b", "Bob", "bob@example.org"));
  std::string c = server_.Store("c.vcf", Card("c", "Cy", "cy@example.org"));
  std::string d = server_.Store("d.vcf", Card("d", "Di", "di@example.org"));
  Sync();
  P("Ann").deleted = 1;                                             // deleted here
  server_.Remove(b);                                                // deleted on the server
  P("Cy").deleted = 1;                                              // deleted here, changed there
  server_.Store("c.vcf", Card("c", "Cy", "cy@new.example"));
  server_.Remove(d);                                                // deleted there, changed here
  SetMemo("Di", "still wanted");
  FreeIndexes(store_);
  BuildIndexes(store_);
  SyncResult result = Sync();
  EXPECT_FALSE(server_.Has(a));
  EXPECT_LT(Find("Bob"), 0);
  ASSERT_GE(Find("Cy"), 0);
  EXPECT_STREQ(P("Cy").email, "cy@new.example");
  EXPECT_TRUE(server_.Has(d));
  EXPECT_NE(server_.Text(d).find("NOTE:still wanted"), std::string::npos);
  EXPECT_NE(server_.Text(d).find("UID:d"), std::string::npos);
  int back = 0, again = 0;
  for (const SyncReportLine& line : result.report.lines) {
    back += line.reason == SyncReason::kBackFromServer;
    again += line.reason == SyncReason::kSentAgain;
  }
  EXPECT_EQ(back, 1);
  EXPECT_EQ(again, 1);
  for (const DavRequest& r : server_.requests) {
    if (r.kind == DavRequest::Kind::Delete) {
      EXPECT_FALSE(r.ifMatch.empty());
    }
  }
}

TEST_F(SyncTest, ARenameHereStaysOneCard) {
  std::string url = server_.Store("a.vcf", Card("a", "Ann", "ann@example.org"));
  Sync();
  CopyToField(P("Ann").description, kTextFieldSize, "Ann Arbor");
  FreeIndexes(store_);
  BuildIndexes(store_);
  Sync();
  EXPECT_EQ(server_.CardCount(), 1u);
  EXPECT_NE(server_.Text(url).find("FN:Ann Arbor"), std::string::npos);
  EXPECT_EQ(server_.Count(DavRequest::Kind::Delete), 0);
  EXPECT_EQ(LivePersons(), 1u);
}

TEST_F(SyncTest, ANameAnotherPersonHoldsGetsASuffixHereOnly) {
  AddTestPerson(store_, "Ann", "ann@here.example", ";;", "");
  Sync();
  std::string url = server_.Store("x.vcf", Card("x", "Ann", "other@example.org"));
  server_.requests.clear();
  Sync();
  ASSERT_GE(Find("Ann [2]"), 0);
  EXPECT_STREQ(P("Ann [2]").email, "other@example.org");
  EXPECT_NE(server_.Text(url).find("FN:Ann\r\n"), std::string::npos);
  server_.requests.clear();
  Sync();
  EXPECT_EQ(server_.Count(DavRequest::Kind::Put), 0);
}

TEST_F(SyncTest, TokenPagesAreFollowedAndARefusedTokenFallsBackToEtags) {
  for (int i = 0; i < 7; ++i) server_.Store("p" + std::to_string(i) + ".vcf", Card("p" + std::to_string(i), "P" + std::to_string(i), "p@x.example"));
  server_.pageSize = 3;
  Sync();
  EXPECT_EQ(LivePersons(), 7u);
  EXPECT_FALSE(state_.syncToken.empty());
  server_.Store("p1.vcf", Card("p1", "P1", "changed@x.example"));
  server_.refuseTokens = true;
  server_.requests.clear();
  Sync();
  EXPECT_STREQ(P("P1").email, "changed@x.example");
  EXPECT_EQ(LivePersons(), 7u);
  // Without sync-collection at all, PROPFIND with ETags finds the changes.
  server_.supportsSyncCollection = false;
  server_.Store("p2.vcf", Card("p2", "P2", "two@x.example"));
  server_.requests.clear();
  Sync();
  EXPECT_EQ(server_.Count(DavRequest::Kind::Propfind), 1);
  EXPECT_STREQ(P("P2").email, "two@x.example");
  EXPECT_EQ(LivePersons(), 7u);
}

TEST_F(SyncTest, MultigetAsksAtMostFiftyAndHalvesAnAnswerThatIsTooLarge) {
  for (int i = 0; i < 120; ++i) server_.Store("p" + std::to_string(i) + ".vcf", Card("u" + std::to_string(i), "P" + std::to_string(i), "p@x.example"));
  std::string huge = Card("big", "Big", "big@x.example", "NOTE:" + std::string(5000, 'x') + "\r\n");
  server_.Store("zz-big.vcf", huge);
  server_.mostAnswerBytes = 4000;
  SyncResult result = Sync();
  for (size_t size : server_.multigetSizes) EXPECT_LE(size, 50u);
  EXPECT_EQ(LivePersons(), 120u);
  EXPECT_LT(Find("Big"), 0);
  EXPECT_EQ(result.report.leftOut, 1u);
  bool tooLarge = false;
  for (const SyncReportLine& line : result.report.lines) tooLarge |= line.reason == SyncReason::kTooLarge;
  EXPECT_TRUE(tooLarge);
}

TEST_F(SyncTest, A412FetchesTheCardAndDecidesAgain) {
  std::string url = server_.Store("a.vcf", Card("a", "Ann", "ann@example.org"));
  Sync();
  SetMemo("Ann", "memo here");
  // The phone changes the card between our listing and our PUT.
  struct Racing : DavTransport {
    FakeCardDavServer& server;
    explicit Racing(FakeCardDavServer& s) : server(s) {}
    DavAnswer Send(const DavRequest& r) override {
      if (r.kind == DavRequest::Kind::Put && !raced) {
        raced = true;
        server.Store("a.vcf", Card("a", "Ann", "phone@example.org"));
      }
      return server.Send(r);
    }
    bool raced = false;
  } racing(server_);
  BookSnapshot shot = TakeBookSnapshot(store_, 7);
  SyncAccount account;
  account.bookUrl = FakeCardDavServer::kBook;
  std::atomic<bool> cancel{false};
  SyncResult result = RunSyncRound(racing, shot, account, state_, cancel, nullptr);
  ApplySyncResult(store_, shot, result, state_);
  EXPECT_STREQ(P("Ann").email, "phone@example.org");
  EXPECT_NE(server_.Text(url).find("NOTE:memo here"), std::string::npos);
  EXPECT_NE(server_.Text(url).find("phone@example.org"), std::string::npos);
}

TEST_F(SyncTest, APutWhoseAnswerNeverCameIsFoundAgainAndNotSentTwice) {
  AddTestPerson(store_, "Ann", "ann@example.org", ";;", "");
  server_.dropAnswerOf = 1;  // the listing answers, the PUT is stored but its answer is lost
  SyncResult first = Sync();
  EXPECT_EQ(first.stop, SyncStop::kFailed);
  EXPECT_EQ(server_.CardCount(), 1u);
  server_.dropAnswerOf = -1;
  Sync();
  EXPECT_EQ(server_.CardCount(), 1u);
  EXPECT_EQ(LivePersons(), 1u);
}

TEST_F(SyncTest, ALostPutTheServerStoredUnderItsOwnNameIsFoundByItsUid) {
  AddTestPerson(store_, "Ann", "ann@example.org", ";;", "");
  server_.renameOnPut = "server-chose-this.vcf";
  server_.dropAnswerOf = 1;
  {
    SyncJournal journal(PlatformFiles(), SyncJournalPath(dir_));
    BookSnapshot shot = TakeBookSnapshot(store_, 7);
    SyncAccount account;
    account.bookUrl = FakeCardDavServer::kBook;
    std::atomic<bool> cancel{false};
    RunSyncRound(server_, shot, account, state_, cancel, nullptr, &journal);
  }
  server_.dropAnswerOf = -1;
  server_.renameOnPut.clear();
  state_ = LoadSyncState(dir_).state;
  Sync();
  EXPECT_EQ(server_.CardCount(), 1u);
  EXPECT_EQ(LivePersons(), 1u);
  EXPECT_EQ(UrlOf("Ann"), std::string(FakeCardDavServer::kBook) + "server-chose-this.vcf");
}

TEST_F(SyncTest, AFailureLeavesTheBookAsItWasAndTheNextSyncGoesOn) {
  for (int i = 0; i < 60; ++i) server_.Store("p" + std::to_string(i) + ".vcf", Card("u" + std::to_string(i), "P" + std::to_string(i), "p@x.example"));
  AddTestPerson(store_, "Here", "here@example.org", ";;", "");
  server_.failRequest = 2;  // the second multiget
  SyncResult failed = Sync();
  EXPECT_EQ(failed.stop, SyncStop::kFailed);
  EXPECT_EQ(LivePersons(), 1u);
  EXPECT_TRUE(failed.report.failed());
  server_.failRequest = -1;
  Sync();
  EXPECT_EQ(LivePersons(), 61u);
  EXPECT_EQ(server_.CardCount(), 61u);
  server_.requests.clear();
  server_.failRequest = 0;
  server_.statusForAll = 401;
  EXPECT_EQ(Sync().stop, SyncStop::kAuthNeeded);
}

TEST_F(SyncTest, AnEntryChangedHereSinceTheSnapshotIsLeftForTheNextSync) {
  std::string url = server_.Store("a.vcf", Card("a", "Ann", "ann@example.org"));
  Sync();
  server_.Store("a.vcf", Card("a", "Ann", "phone@example.org"));
  BookSnapshot shot = TakeBookSnapshot(store_, 7);
  SyncAccount account;
  account.bookUrl = FakeCardDavServer::kBook;
  std::atomic<bool> cancel{false};
  SyncResult result = RunSyncRound(server_, shot, account, state_, cancel, nullptr);
  SetMemo("Ann", "typed meanwhile");
  AppliedSync applied = ApplySyncResult(store_, shot, result, state_);
  EXPECT_EQ(applied.leftForNextSync, 1u);
  EXPECT_STREQ(P("Ann").email, "ann@example.org");
  Sync();
  EXPECT_STREQ(P("Ann").email, "phone@example.org");
  EXPECT_STREQ(P("Ann").memo, "typed meanwhile");
  EXPECT_NE(server_.Text(url).find("NOTE:typed meanwhile"), std::string::npos);
}

TEST_F(SyncTest, AGroupCardComesInAndGoesBackInItsForm) {
  server_.Store("a.vcf", Card("ua", "Ann", "ann@example.org"));
  server_.Store("b.vcf", Card("ub", "Bob", "bob@example.org"));
  std::string g = server_.Store("g.vcf", "BEGIN:VCARD\r\nVERSION:4.0\r\nUID:g\r\nKIND:group\r\nFN:Team\r\n"
                                         "MEMBER:urn:uuid:ua\r\nEND:VCARD\r\n");
  Sync();
  ASSERT_GE(FindGroupByName(store_, "Team"), 0);
  EXPECT_EQ(MembersOf("Team"), std::vector<std::string>{"Ann"});
  AddTestMember(store_, "Team", "Bob");
  Sync();
  EXPECT_NE(server_.Text(g).find("MEMBER:urn:uuid:ua\r\nMEMBER:urn:uuid:ub\r\n"), std::string::npos);
  EXPECT_NE(server_.Text(g).find("VERSION:4.0"), std::string::npos);
  // A new group here takes the form the address book already keeps.
  AddTestGroup(store_, "Friends", {static_cast<uint32_t>(Find("Ann"))});
  Sync();
  std::string friends = server_.Text(UrlOf("Friends"));
  EXPECT_NE(friends.find("KIND:group"), std::string::npos);
  EXPECT_NE(friends.find("MEMBER:urn:uuid:ua"), std::string::npos);
}

TEST_F(SyncTest, VCard4UidsWrittenAsUrnsMeetTheirGroupsMembers) {
  // vCard 4 writes a UID as a URN; its group names the member by the same URN.
  server_.Store("m.vcf", "BEGIN:VCARD\r\nVERSION:4.0\r\nUID:urn:uuid:8f2d4c1e-5b6a-4e3f-9c7d-1a2b3c4d5e6f\r\n"
                         "FN:Mona\r\nEMAIL:mona@example.org\r\nEND:VCARD\r\n");
  server_.Store("b.vcf", Card("URN:UUID:0b0b", "Bob", "bob@example.org"));
  std::string g = server_.Store("g.vcf", "BEGIN:VCARD\r\nVERSION:4.0\r\nUID:urn:uuid:g\r\nKIND:group\r\nFN:Team\r\n"
                                         "MEMBER:urn:uuid:8f2d4c1e-5b6a-4e3f-9c7d-1a2b3c4d5e6f\r\nEND:VCARD\r\n");
  Sync();
  ASSERT_GE(FindGroupByName(store_, "Team"), 0);
  EXPECT_EQ(MembersOf("Team"), std::vector<std::string>{"Mona"});
  AddTestMember(store_, "Team", "Bob");
  Sync();
  EXPECT_NE(server_.Text(g).find("MEMBER:urn:uuid:8f2d4c1e-5b6a-4e3f-9c7d-1a2b3c4d5e6f\r\nMEMBER:urn:uuid:0b0b\r\n"),
            std::string::npos) << server_.Text(g);
  Sync();
  EXPECT_EQ(MembersOf("Team"), (std::vector<std::string>{"Mona", "Bob"}));
}

TEST_F(SyncTest, TheProgressCountsThePersonsToSendFromTheFirstAndAfterEach) {
  AddTestPerson(store_, "Ann", "ann@example.org", ";;", "");
  AddTestPerson(store_, "Bob", "bob@example.org", ";;", "");
  std::vector<std::pair<uint32_t, uint32_t>> seen;
  BookSnapshot shot = TakeBookSnapshot(store_, 7);
  SyncAccount account;
  account.bookUrl = FakeCardDavServer::kBook;
  std::atomic<bool> cancel{false};
  RunSyncRound(server_, shot, account, state_, cancel,
               [&seen](uint32_t done, uint32_t total) { seen.emplace_back(done, total); });
  // Told before the cards go, and after each.
  std::vector<std::pair<uint32_t, uint32_t>> sending(seen.end() - std::min<size_t>(seen.size(), 3), seen.end());
  EXPECT_EQ(sending, (std::vector<std::pair<uint32_t, uint32_t>>{{0, 2}, {1, 2}, {2, 2}}));
}

TEST_F(SyncTest, AppleGroupCardsAndCategoriesAreReadAndWrittenBackAlike) {
  server_.Store("a.vcf", Card("ua", "Ann", "ann@example.org", "CATEGORIES:Family,Work\r\n"));
  server_.Store("b.vcf", Card("ub", "Bob", "bob@example.org", "CATEGORIES:Work\r\n"));
  std::string g = server_.Store("g.vcf", "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:g\r\nN:Club;;;;\r\nFN:Club\r\n"
                                         "X-ADDRESSBOOKSERVER-KIND:group\r\nX-ADDRESSBOOKSERVER-MEMBER:urn:uuid:ub\r\nEND:VCARD\r\n");
  Sync();
  EXPECT_EQ(MembersOf("Club"), std::vector<std::string>{"Bob"});
  EXPECT_EQ(MembersOf("Work"), (std::vector<std::string>{"Ann", "Bob"}));
  EXPECT_EQ(MembersOf("Family"), std::vector<std::string>{"Ann"});
  // Bob joins Family here: his card's CATEGORIES names it; Ann joins Club: the Apple card lists her.
  AddTestMember(store_, "Family", "Bob");
  AddTestMember(store_, "Club", "Ann");
  Sync();
  std::string bob = CardOf("Bob");
  EXPECT_NE(bob.find("CATEGORIES:Work,Family"), std::string::npos) << bob;
  EXPECT_NE(server_.Text(g).find("X-ADDRESSBOOKSERVER-MEMBER:urn:uuid:ub\r\nX-ADDRESSBOOKSERVER-MEMBER:urn:uuid:ua"),
            std::string::npos);
  // A new group goes as Apple's form is present.
  AddTestGroup(store_, "New", {static_cast<uint32_t>(Find("Ann"))});
  Sync();
  EXPECT_NE(server_.Text(UrlOf("New")).find("X-ADDRESSBOOKSERVER-KIND:group"), std::string::npos);
}

TEST_F(SyncTest, UndoDeleteOfASentDeletePutsTheOldCardBack) {
  std::string url = server_.Store("a.vcf", Card("keep-uid", "Ann", "ann@example.org", "TEL:+1 555 0100\r\n"));
  Sync();
  uint32_t slot = static_cast<uint32_t>(Find("Ann"));
  (*store_.persons)[slot].deleted = 1;
  FreeIndexes(store_);
  BuildIndexes(store_);
  Sync();
  EXPECT_FALSE(server_.Has(url));
  (*store_.persons)[slot].deleted = 0;  // what RestoreDeletedEntries does
  FreeIndexes(store_);
  BuildIndexes(store_);
  NoteRestoredEntries(state_, {"Ann"}, {});
  Sync();
  ASSERT_TRUE(server_.Has(url));
  EXPECT_NE(server_.Text(url).find("UID:keep-uid"), std::string::npos);
  EXPECT_NE(server_.Text(url).find("TEL:+1 555 0100"), std::string::npos);
  EXPECT_EQ(server_.CardCount(), 1u);
  EXPECT_TRUE(state_.restoredPersons.empty());
}

TEST_F(SyncTest, UndoDeleteOfASentGroupDeletePutsTheGroupBackOnce) {
  server_.Store("a.vcf", Card("ua", "Ann", "ann@example.org"));
  std::string g = server_.Store("g.vcf", "BEGIN:VCARD\r\nVERSION:4.0\r\nUID:g\r\nKIND:group\r\nFN:Team\r\n"
                                         "NOTE:the team\r\nMEMBER:urn:uuid:ua\r\nEND:VCARD\r\n");
  Sync();
  uint32_t slot = static_cast<uint32_t>(FindGroupByName(store_, "Team"));
  (*store_.groups)[slot].deleted = 1;
  FreeIndexes(store_);
  BuildIndexes(store_);
  Sync();
  EXPECT_FALSE(server_.Has(g));
  (*store_.groups)[slot].deleted = 0;  // what RestoreDeletedEntries does
  FreeIndexes(store_);
  BuildIndexes(store_);
  NoteRestoredEntries(state_, {}, {"Team"});
  Sync();
  // The group is on the server again, once, as it was: its URL, UID, form, member and memo.
  ASSERT_EQ(UrlOf("Team"), g);
  EXPECT_NE(server_.Text(g).find("UID:g\r\n"), std::string::npos);
  std::string team = server_.Text(UrlOf("Team"));
  EXPECT_NE(team.find("KIND:group"), std::string::npos);
  EXPECT_NE(team.find("MEMBER:urn:uuid:ua"), std::string::npos);
  EXPECT_NE(team.find("NOTE:the team"), std::string::npos);
  EXPECT_EQ(server_.CardCount(), 2u);
  EXPECT_TRUE(state_.restoredGroups.empty());
  EXPECT_EQ(MembersOf("Team"), std::vector<std::string>{"Ann"});
  server_.requests.clear();
  Sync();
  EXPECT_EQ(server_.Count(DavRequest::Kind::Put), 0);
  EXPECT_EQ(server_.CardCount(), 2u);
}

// The phone's card takes the URL our new card was to have between our listing and our PUT.
struct TakesTheNewUrl : DavTransport {
  FakeCardDavServer& server;
  std::string taken;
  explicit TakesTheNewUrl(FakeCardDavServer& s) : server(s) {}
  DavAnswer Send(const DavRequest& r) override {
    if (r.kind == DavRequest::Kind::Put && r.ifNoneMatchAny && taken.empty()) {
      taken = r.url;
      server.Store(r.url.substr(std::strlen(FakeCardDavServer::kBook)), Card("other", "Stranger", "stranger@example.org"));
    }
    return server.Send(r);
  }
};

TEST_F(SyncTest, A412OnABrandNewUrlSendsTheCardUnderAnotherAndLeavesTheOtherCardAlone) {
  AddTestPerson(store_, "Ann", "ann@example.org", ";;", "mine");
  TakesTheNewUrl racing(server_);
  BookSnapshot shot = TakeBookSnapshot(store_, 7);
  SyncAccount account;
  account.bookUrl = FakeCardDavServer::kBook;
  std::atomic<bool> cancel{false};
  SyncResult result = RunSyncRound(racing, shot, account, state_, cancel, nullptr);
  ApplySyncResult(store_, shot, result, state_);
  EXPECT_EQ(result.stop, SyncStop::kDone);
  ASSERT_FALSE(racing.taken.empty());
  EXPECT_EQ(server_.CardCount(), 2u);
  EXPECT_NE(UrlOf("Ann"), racing.taken);
  EXPECT_NE(server_.Text(UrlOf("Ann")).find("NOTE:mine"), std::string::npos);
  EXPECT_EQ(server_.Text(racing.taken), Card("other", "Stranger", "stranger@example.org"));
  // The other card is the phone's own: it comes in as a person of its own.
  Sync();
  EXPECT_EQ(LivePersons(), 2u);
  EXPECT_STREQ(P("Stranger").email, "stranger@example.org");
  EXPECT_EQ(server_.Text(racing.taken), Card("other", "Stranger", "stranger@example.org"));
  EXPECT_EQ(server_.CardCount(), 2u);
}

TEST_F(SyncTest, AKillAfterA412OnABrandNewUrlNeverTakesTheOtherCardForOurs) {
  AddTestPerson(store_, "Ann", "ann@example.org", ";;", "mine");
  TakesTheNewUrl racing(server_);
  {
    SyncJournal journal(PlatformFiles(), SyncJournalPath(dir_));
    BookSnapshot shot = TakeBookSnapshot(store_, 7);
    SyncAccount account;
    account.bookUrl = FakeCardDavServer::kBook;
    std::atomic<bool> cancel{false};
    RunSyncRound(racing, shot, account, state_, cancel, nullptr, &journal);
  }
  // The program dies before the apply: only the journal saw the round.
  state_ = LoadSyncState(dir_).state;
  Sync();
  EXPECT_EQ(server_.CardCount(), 2u);
  EXPECT_EQ(LivePersons(), 2u);
  EXPECT_EQ(server_.Text(racing.taken), Card("other", "Stranger", "stranger@example.org"));
  EXPECT_NE(UrlOf("Ann"), racing.taken);
  EXPECT_NE(server_.Text(UrlOf("Ann")).find("NOTE:mine"), std::string::npos);
}

TEST_F(SyncTest, APhotoStaysByteForByteThroughEditsAndTheSavedState) {
  std::string photo = "PHOTO;ENCODING=b;TYPE=JPEG:";
  for (int i = 0; i < 6000; ++i) photo.push_back("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/"[(i * 7) % 64]);
  photo += "==";
  std::string folded;
  for (size_t at = 0; at < photo.size(); at += 75) folded += (at ? "\r\n " : "") + photo.substr(at, 75);
  folded += "\r\n";
  std::string url = server_.Store("a.vcf", Card("a", "Ann", "ann@example.org", "TEL:+1 555\r\n" + folded));
  Sync();
  SetMemo("Ann", "first");
  Sync();
  EXPECT_NE(server_.Text(url).find(folded), std::string::npos);
  ASSERT_FALSE(SaveSyncState(dir_, state_));
  state_ = LoadSyncState(dir_).state;
  SetMemo("Ann", "second");
  Sync();
  EXPECT_NE(server_.Text(url).find(folded), std::string::npos);
  EXPECT_NE(server_.Text(url).find("NOTE:second"), std::string::npos);
}

TEST_F(SyncTest, CardsWithoutUidOrWithADuplicateUidAreTrackedByTheirUrl) {
  server_.Store("a.vcf", Card("", "Ann", "ann@example.org"));
  server_.Store("b.vcf", Card("same", "Bob", "bob@example.org"));
  std::string c = server_.Store("c.vcf", Card("same", "Cy", "cy@example.org"));
  Sync();
  EXPECT_EQ(LivePersons(), 3u);
  server_.Store("c.vcf", Card("same", "Cy", "new@example.org"));
  Sync();
  EXPECT_STREQ(P("Cy").email, "new@example.org");
  EXPECT_STREQ(P("Bob").email, "bob@example.org");
  EXPECT_EQ(server_.CardCount(), 3u);
}

TEST_F(SyncTest, TheServersLocationAndMissingEtagAreFollowed) {
  AddTestPerson(store_, "Ann", "ann@example.org", ";;", "");
  server_.renameOnPut = "server-name.vcf";
  server_.omitEtagOnPut = true;
  Sync();
  EXPECT_EQ(UrlOf("Ann"), std::string(FakeCardDavServer::kBook) + "server-name.vcf");
  server_.renameOnPut.clear();
  SetMemo("Ann", "later");
  Sync();
  EXPECT_EQ(server_.CardCount(), 1u);
  EXPECT_NE(server_.Text(UrlOf("Ann")).find("NOTE:later"), std::string::npos);
}

TEST_F(SyncTest, ACancelledSyncChangesNothingHereAndKeepsWhatWasSent) {
  for (int i = 0; i < 80; ++i) server_.Store("p" + std::to_string(i) + ".vcf", Card("u" + std::to_string(i), "P" + std::to_string(i), "p@x.example"));
  AddTestPerson(store_, "Here", "here@example.org", ";;", "");
  BookSnapshot shot = TakeBookSnapshot(store_, 7);
  SyncAccount account;
  account.bookUrl = FakeCardDavServer::kBook;
  std::atomic<bool> cancel{false};
  std::vector<uint32_t> seen;
  SyncResult result = RunSyncRound(server_, shot, account, state_, cancel, [&](uint32_t done, uint32_t total) {
    seen.push_back(done);
    EXPECT_LE(done, total);
    if (done >= 50) cancel = true;
  });
  EXPECT_EQ(result.stop, SyncStop::kCancelled);
  EXPECT_TRUE(result.changes.empty());
  EXPECT_FALSE(seen.empty());
  ApplySyncResult(store_, shot, result, state_);
  EXPECT_EQ(LivePersons(), 1u);
  EXPECT_TRUE(state_.syncToken.empty());
  Sync();
  EXPECT_EQ(LivePersons(), 81u);
  EXPECT_EQ(server_.CardCount(), 81u);
}

// A kill after a card went out: the state on disk never saw the round, only its journal did.
TEST_F(SyncTest, AfterAKillTheJournalKeepsASentCardFromBeingSentTwice) {
  server_.Store("a.vcf", Card("a", "Ann", "ann@example.org"));
  Sync();
  ASSERT_FALSE(SaveSyncState(dir_, state_));
  AddTestPerson(store_, "Bob", "bob@example.org", ";;", "");
  SetMemo("Ann", "memo here");
  {
    SyncJournal journal(PlatformFiles(), SyncJournalPath(dir_));
    server_.failRequest = 3;  // the listing, Ann's put and Bob's put answer; then the line goes
    server_.stayDown = true;
    BookSnapshot shot = TakeBookSnapshot(store_, 7);
    SyncAccount account;
    account.bookUrl = FakeCardDavServer::kBook;
    std::atomic<bool> cancel{false};
    RunSyncRound(server_, shot, account, state_, cancel, nullptr, &journal);
  }
  // The program dies here: neither the result nor the state was written.
  server_.failRequest = -1;
  SyncStateLoad load = LoadSyncState(dir_);
  EXPECT_FALSE(load.damaged);
  state_ = load.state;
  Sync();
  EXPECT_EQ(server_.CardCount(), 2u);
  EXPECT_EQ(LivePersons(), 2u);
  EXPECT_NE(CardOf("Ann").find("NOTE:memo here"), std::string::npos);
  EXPECT_NE(CardOf("Bob").find("FN:Bob"), std::string::npos);
}

TEST_F(SyncTest, AtCloseOnlyWhatChangedHereIsSent) {
  std::string url = server_.Store("a.vcf", Card("a", "Ann", "ann@example.org"));
  Sync();
  SetMemo("Ann", "memo here");
  AddTestPerson(store_, "Bob", "bob@example.org", ";;", "");
  server_.Store("c.vcf", Card("c", "Cy", "cy@example.org"));  // not fetched at close
  server_.requests.clear();
  BookSnapshot shot = TakeBookSnapshot(store_, 7);
  SyncAccount account;
  account.bookUrl = FakeCardDavServer::kBook;
  account.sendOnly = true;
  std::atomic<bool> cancel{false};
  SyncResult result = RunSyncRound(server_, shot, account, state_, cancel, nullptr);
  ApplySyncResult(store_, shot, result, state_);
  EXPECT_EQ(server_.Count(DavRequest::Kind::Report), 0);
  EXPECT_EQ(server_.Count(DavRequest::Kind::Put), 2);
  EXPECT_NE(server_.Text(url).find("NOTE:memo here"), std::string::npos);
  EXPECT_LT(Find("Cy"), 0);
  Sync();
  EXPECT_GE(Find("Cy"), 0);
  EXPECT_EQ(server_.CardCount(), 3u);
}

TEST_F(SyncTest, GroupsDeletedOnEitherSideGoOnTheOther) {
  server_.Store("a.vcf", Card("ua", "Ann", "ann@example.org", "CATEGORIES:Work\r\n"));
  std::string g = server_.Store("g.vcf", "BEGIN:VCARD\r\nVERSION:4.0\r\nUID:g\r\nKIND:group\r\nFN:Team\r\n"
                                         "MEMBER:urn:uuid:ua\r\nEND:VCARD\r\n");
  std::string h = server_.Store("h.vcf", "BEGIN:VCARD\r\nVERSION:4.0\r\nUID:h\r\nKIND:group\r\nFN:Club\r\nEND:VCARD\r\n");
  Sync();
  ASSERT_GE(FindGroupByName(store_, "Work"), 0);
  ASSERT_GE(FindGroupByName(store_, "Club"), 0);
  (*store_.groups)[FindGroupByName(store_, "Team")].deleted = 1;
  (*store_.groups)[FindGroupByName(store_, "Work")].deleted = 1;
  server_.Remove(h);
  FreeIndexes(store_);
  BuildIndexes(store_);
  Sync();
  EXPECT_FALSE(server_.Has(g));
  EXPECT_LT(FindGroupByName(store_, "Club"), 0);
  EXPECT_EQ(CardOf("Ann").find("CATEGORIES"), std::string::npos);
  Sync();
  EXPECT_LT(FindGroupByName(store_, "Work"), 0);
  EXPECT_LT(FindGroupByName(store_, "Team"), 0);
}

TEST_F(SyncTest, ANewGroupTakesTheSettingWhenTheBookKeepsNoGroupsYet) {
  AddTestPerson(store_, "Ann", "ann@example.org", ";;", "");
  AddTestGroup(store_, "Team", {0});
  Sync(SyncAccount::NewGroups::kGroupCards);
  std::string team = server_.Text(UrlOf("Team"));
  EXPECT_NE(team.find("VERSION:4.0"), std::string::npos);
  EXPECT_NE(team.find("KIND:group"), std::string::npos);
  AddTestGroup(store_, "Family", {0});
  Sync(SyncAccount::NewGroups::kCategories);
  EXPECT_NE(CardOf("Ann").find("CATEGORIES:Family"), std::string::npos);
  EXPECT_EQ(UrlOf("Family"), "");
}

TEST_F(SyncTest, AfterADamagedStateTheNextSyncLinksAsAFirstSyncAndSaysSo) {
  server_.Store("a.vcf", Card("a", "Ann", "ann@example.org"));
  AddTestPerson(store_, "Bob", "bob@example.org", ";;", "");
  Sync();
  ASSERT_FALSE(SaveSyncState(dir_, state_));
  std::vector<uint8_t> bytes = Read(SyncStatePath(dir_));
  bytes[bytes.size() / 2] = '\n';
  Write(SyncStatePath(dir_), bytes);
  SyncStateLoad load = LoadSyncState(dir_);
  ASSERT_TRUE(load.damaged);
  state_ = load.state;
  SyncResult result = Sync();
  EXPECT_TRUE(result.report.stateDamaged);
  EXPECT_EQ(result.report.damagedCopy, load.damagedCopy);
  int links = 0;
  for (const SyncReportLine& line : result.report.lines) links += line.reason == SyncReason::kLinked;
  EXPECT_EQ(links, 2);
  EXPECT_EQ(server_.CardCount(), 2u);
  EXPECT_EQ(LivePersons(), 2u);
  EXPECT_FALSE(Sync().report.stateDamaged);
}

// ---- cards ----

TEST(SyncCards, PatchingKeepsFoldedAndUnknownLinesAndTheVersion) {
  std::string text =
      "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Old\r\nNOTE:a long note that is folded over\r\n  two lines\r\n"
      "EMAIL;PREF=2:second@x.example\r\nEMAIL;PREF=1:first@x.example\r\nX-Y:z\r\nEND:VCARD\r\n";
  std::optional<ParsedCard> card = ParseCard(text);
  ASSERT_TRUE(card);
  EXPECT_EQ(card->fields.email, "first@x.example");
  EXPECT_EQ(card->fields.note, "a long note that is folded over two lines");
  CardEdit edit;
  edit.email = "new@x.example";
  std::string patched = PatchCard(*card, edit);
  EXPECT_EQ(patched, "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Old\r\nNOTE:a long note that is folded over\r\n  two lines\r\n"
                     "EMAIL;PREF=2:second@x.example\r\nEMAIL;PREF=1:new@x.example\r\nX-Y:z\r\nEND:VCARD\r\n");
  CardEdit nothing;
  EXPECT_EQ(PatchCard(*card, nothing), text);
  EXPECT_FALSE(ParseCard("FN:no card"));
  EXPECT_FALSE(ParseCard("BEGIN:VCARD\r\nFN:cut"));
}

// A REPORT's card comes through XML, which turns each CRLF into LF: the card sent back has one
// kind of line end, CRLF, with each kept line's content as it was, folds and REV included.
TEST(SyncCards, APatchOfACardReadFromXmlEndsEveryLineInCrlf) {
  std::optional<ParsedCard> card = ParseCard(
      "BEGIN:VCARD\nVERSION:3.0\nFN:Ann\nTEL:+1 555\nPHOTO;ENCODING=b:QUJD\n REVG\nREV:2020\nEND:VCARD\n");
  ASSERT_TRUE(card);
  CardEdit edit;
  edit.note = "new";
  edit.revTime = "20261209T120000Z";
  EXPECT_EQ(PatchCard(*card, edit),
            "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ann\r\nTEL:+1 555\r\nPHOTO;ENCODING=b:QUJD\r\n REVG\r\n"
            "REV:20261209T120000Z\r\nNOTE:new\r\nEND:VCARD\r\n");
}

TEST(SyncCards, NewCardsEscapeTheirValuesAndUuidsAreVersionFour) {
  CardEdit edit;
  edit.fn = "A, B; C";
  edit.note = "two\nlines";
  edit.name = std::vector<std::string>{"Fi", "Mi", "La"};
  std::string text = NewPersonCard("u-1", edit);
  EXPECT_NE(text.find("FN:A\\, B\\; C\r\n"), std::string::npos);
  EXPECT_NE(text.find("NOTE:two\\nlines\r\n"), std::string::npos);
  EXPECT_NE(text.find("N:La;Fi;Mi;;\r\n"), std::string::npos);
  std::optional<ParsedCard> card = ParseCard(text);
  ASSERT_TRUE(card);
  EXPECT_EQ(card->fields.fn, "A, B; C");
  std::string a = NewUuid(), b = NewUuid();
  EXPECT_NE(a, b);
  EXPECT_EQ(a.size(), 36u);
  EXPECT_EQ(a[14], '4');
  EXPECT_NE(std::string("89ab").find(a[19]), std::string::npos);
}

TEST(SyncCards, KeptTextsComeBackByteForByte) {
  auto base64 = [](size_t n, size_t step) {
    std::string text;
    for (size_t i = 0; i < n; ++i) text.push_back("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/"[(i * step) % 64]);
    return text;
  };
  auto fold = [](const std::string& line, size_t width, const std::string& with) {
    std::string out;
    for (size_t at = 0; at < line.size(); at += width) out += (at ? with : "") + line.substr(at, width);
    return out;
  };
  const std::string head = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ann\r\n";
  const std::string tail = "\r\nEND:VCARD\r\n";
  const std::string value = "PHOTO;ENCODING=b:" + base64(4099, 5);
  std::string uneven = fold(value, 74, "\r\n ");
  uneven.insert(uneven.size() / 2, "\r\n ");  // one fold out of step
  const std::vector<std::string> texts = {
      head + fold(value, 74, "\r\n ") + tail,           // folded at even steps
      head + fold(value, 60, "\n\t") + "\nEND:VCARD\n",  // line feeds and tabs
      head + value + "=" + tail,                          // not folded, padded
      head + uneven + tail,                               // folds out of step: kept as text
      head + fold(value + "*" + base64(2000, 3), 75, "\r\n ") + tail,  // not base64 throughout
      head + fold(value, 74, "\r\n ") + "\r\n " + tail,  // a fold at the very end
      head + "NOTE:short\r\nEND:VCARD\r\n",
      std::string(3000, 'A'),
      "",
  };
  for (const std::string& text : texts) {
    CardText kept(text);
    EXPECT_EQ(kept.Text(), text);
    CardText copy = kept;
    EXPECT_EQ(copy.Text(), text);
  }
  // A patched card keeps the photo's lines as they came.
  std::optional<ParsedCard> card = ParseCard(texts[0]);
  ASSERT_TRUE(card);
  EXPECT_EQ(card->fields.fn, "Ann");
  CardEdit edit;
  edit.note = "new";
  std::string patched = PatchCard(*card, edit);
  EXPECT_NE(patched.find(fold(value, 74, "\r\n ")), std::string::npos);
  EXPECT_NE(patched.find("NOTE:new\r\n"), std::string::npos);
  EXPECT_EQ(PatchCard(*card, CardEdit{}), texts[0]);
  // The state's file holds the texts as they came.
  SyncState state;
  for (const std::string& text : texts) {
    SyncedEntry entry;
    entry.card = text;
    state.entries.push_back(entry);
  }
  std::optional<SyncState> back = SyncStateFromBytes(SyncStateBytes(state));
  ASSERT_TRUE(back);
  ASSERT_EQ(back->entries.size(), texts.size());
  for (size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(back->entries[i].card.Text(), texts[i]) << i;
}

// ---- the state ----

class SyncStateFiles : public BookFolderTest {};

TEST_F(SyncStateFiles, TheStateComesBackWholeAndTheJournalIsFoldedIn) {
  SyncState state;
  state.bookUrl = "http://h/b/";
  state.syncToken = "tok\t1";
  SyncedEntry entry;
  entry.url = "http://h/b/a.vcf";
  entry.etag = "\"1\"";
  entry.key = "Ann";
  entry.card = "BEGIN:VCARD\r\nNOTE:a\\nb\r\nEND:VCARD\r\n";
  entry.members = {"x", ""};
  state.entries.push_back(entry);
  ASSERT_FALSE(SaveSyncState(dir_, state));
  SyncStateLoad load = LoadSyncState(dir_);
  EXPECT_FALSE(load.damaged);
  EXPECT_EQ(SyncStateBytes(load.state), SyncStateBytes(state));
  // An answer journaled by a round that did not end is in the state at the next start.
  {
    SyncJournal journal(PlatformFiles(), SyncJournalPath(dir_));
    SyncedEntry sent = entry;
    sent.url = "http://h/b/new.vcf";
    sent.etag = "\"9\"";
    ASSERT_TRUE(journal.Append(JournalRecord{JournalRecord::Kind::kPutDone, sent}));
    ASSERT_TRUE(journal.Append(JournalRecord{JournalRecord::Kind::kDeleted, entry}));
  }
  load = LoadSyncState(dir_);
  ASSERT_EQ(load.state.entries.size(), 1u);
  EXPECT_EQ(load.state.entries[0].url, "http://h/b/new.vcf");
  ASSERT_EQ(load.state.removed.size(), 1u);
  EXPECT_FALSE(PlatformFiles().Exists(SyncJournalPath(dir_)));
}

TEST_F(SyncStateFiles, ADamagedStateIsKeptAsideAndReadAsEmpty) {
  SyncState state;
  state.bookUrl = "http://h/b/";
  state.entries.push_back(SyncedEntry{});
  std::vector<uint8_t> bytes = SyncStateBytes(state);
  bytes.resize(bytes.size() - 3);
  Write(SyncStatePath(dir_), bytes);
  SyncStateLoad load = LoadSyncState(dir_);
  EXPECT_TRUE(load.damaged);
  EXPECT_TRUE(load.state.entries.empty());
  EXPECT_EQ(Read(load.damagedCopy), bytes);
}

// Every byte, and each escaped one at every place around the eight-byte runs, comes back.
TEST(SyncStateBytesTest, EveryByteComesBackWhereverItStands) {
  std::string all;
  for (int c = 0; c < 256; ++c) all.push_back(static_cast<char>(c));
  SyncState state;
  for (char special : std::string("\\\t\n\r\0", 5)) {
    for (size_t at = 0; at < 18; ++at) {
      SyncedEntry entry;
      entry.key = std::string(at, 'a') + special + std::string(17 - at, 'b');
      entry.memo = all + entry.key;
      entry.card = "BEGIN:VCARD\r\n" + entry.key + std::string(3000, 'Z') + "\r\nEND:VCARD\r\n";
      state.entries.push_back(entry);
    }
  }
  std::optional<SyncState> back = SyncStateFromBytes(SyncStateBytes(state));
  ASSERT_TRUE(back);
  ASSERT_EQ(back->entries.size(), state.entries.size());
  for (size_t i = 0; i < state.entries.size(); ++i) {
    EXPECT_EQ(back->entries[i].key, state.entries[i].key) << i;
    EXPECT_EQ(back->entries[i].memo, state.entries[i].memo) << i;
    EXPECT_EQ(back->entries[i].card.Text(), state.entries[i].card.Text()) << i;
  }
}

TEST(SyncReportText, TheReportListsCountsConflictsAndTheFailure) {
  SyncReport report;
  report.server = "http://h/b/";
  report.newHere = 3;
  report.onlyOnServer = 2;
  report.Add("Ann", SyncReason::kBothChanged, kSyncFieldEmail, "a@x");
  report.failureStatus = 503;
  auto textOf = [](int id) -> std::string {
    switch (id) {
      case 2030: return "N %d %d %d %d";
      case 2031: return "only %d";
      case 2032: return "lines:";
      case 2033: return "%s both, server %s";
      case 2041: return "mail";
      case 2045: return "stopped %s: %s";
      case 2049: return "status %s";
    }
    return "?";
  };
  EXPECT_EQ(BuildSyncReport(report, textOf), "N 3 0 0 0\nonly 2\nstopped http://h/b/: status 503\n\nlines:\nAnn - mail both, server a@x");
}

}  // namespace

namespace {

// Photos wait outside memory and come back exact, each its own, in any order and from two threads.
TEST(SyncCards, ManyPhotosComeBackEachItsOwnFromEitherThread) {
  auto card = [](int n) {
    std::string photo = "PHOTO;ENCODING=b;TYPE=JPEG:";
    for (int i = 0; i < 3000; ++i) photo.push_back("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/"[(i * 7 + n) % 64]);
    std::string folded;
    for (size_t at = 0; at < photo.size(); at += 74) folded += (at ? "\r\n " : "") + photo.substr(at, 74);
    return "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Person " + std::to_string(n) + "\r\n" + folded + "\r\nEND:VCARD\r\n";
  };
  std::vector<CardText> kept;
  for (int n = 0; n < 200; ++n) kept.emplace_back(card(n));
  std::atomic<int> wrong{0};
  std::thread other([&] {
    for (int n = 0; n < 200; n += 2)
      if (kept[n].Text() != card(n)) ++wrong;
  });
  for (int n = 199; n >= 0; n -= 2) EXPECT_EQ(kept[n].Text(), card(n));
  other.join();
  EXPECT_EQ(wrong.load(), 0);
  std::optional<ParsedCard> parsed = ReadCard(kept[7]);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->fields.fn, "Person 7");
}

TEST(SyncUndo, AnApplyThatChangedAGroupTheUndoFillsMakesItStale) {
  DeleteUndo undo;
  undo.memberships.push_back(DeleteUndo::Membership{3, 1, 0});
  AppliedSync applied;
  applied.changedGroups = {0};
  applied.addedPersons = {9};
  EXPECT_FALSE(AppliedTouchesUndo(applied, undo));
  applied.changedGroups.push_back(1);
  EXPECT_TRUE(AppliedTouchesUndo(applied, undo));
}

}  // namespace
