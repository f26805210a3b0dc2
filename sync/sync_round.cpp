// One sync round on the worker thread: list what changed on the server, fetch it, decide each
// card and entry three ways against the state, send what this computer changed, and hand back
// the book's changes for the main thread to apply.
#include "sync/sync_round.h"

#include <algorithm>
#include <ctime>
#include <map>
#include <set>
#include <unordered_map>

#include "import/charset.h"
#include "import/decoded_person.h"
#include "import/import_groups.h"
#include "import/text_scan.h"
#include "store/indexes.h"
#include "store/name_rules.h"
#include "sync/card_text.h"
#include "sync/sync_engine.h"

bool CompareNoCaseKey(const std::string& a, const std::string& b, const CodePage& page) {
  return CompareNoCase(a.c_str(), b.c_str(), page) == 0;
}

namespace {

constexpr size_t kTextLimit = kTextFieldSize - 2;  // what the dialogs let one type
constexpr size_t kEmailLimit = kEmailFieldSize - 1;
constexpr int kMostTries = 3;                       // a card that keeps changing under us waits
const char kUnknownEtag[] = "unknown";              // put, but the server named no ETag

// ---- texts between the card and the book ----------------------------------------------------

std::string Folded(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(FoldByte(static_cast<unsigned char>(c)));
  return out;
}

std::string BookText(std::string_view ansi, size_t limit, const CodePage& page) {
  return std::string(CutAnsi(ansi, limit, page));
}

std::string BookName(std::string_view ansi, size_t limit, const CodePage& page) {
  std::string text = BookText(ansi, limit, page);
  FitNameToRules(text, page);
  return text;
}

struct ServerPerson {
  CardPersonFields fields;
  std::vector<std::string> categories;  // ANSI, as group names
  bool hasEmail = false;
};

// A group name from the server as the book can hold it (its names are fitted already).
bool GroupNameFits(std::string_view name, const CodePage& page) {
  std::string stored(CutAnsi(name, kTextLimit, page));
  return IsSystemGroupLabel(name) || (!stored.empty() && IsValidNameText(stored.c_str(), page));
}

ServerPerson BookFormOf(const CardFields& card, const CodePage& page) {
  DecodedPerson decoded{card.fn, card.email, card.first, card.middle, card.last, card.note, card.categories};
  ConvertedPerson converted = ConvertDecodedPerson(decoded);
  ServerPerson person;
  CardPersonFields& f = person.fields;
  f.description = BookName(converted.description, kTextLimit, page);
  f.email = BookText(converted.email, kEmailLimit, page);
  f.first = BookName(converted.first, kTextLimit, page);
  f.middle = BookName(converted.middle, kTextLimit, page);
  f.last = BookName(converted.last, kTextLimit, page);
  if (f.first.size() + f.middle.size() + f.last.size() + 2 > kTextLimit) f.first = f.middle = f.last = "";
  f.memo = BookText(converted.memo, kTextLimit, page);
  for (const std::string& group : converted.groups)
    if (!IsSystemGroupLabel(group) && !group.empty()) person.categories.push_back(BookName(group, kTextLimit, page));
  person.hasEmail = card.hasEmail;
  return person;
}

// The book's description may carry " [2]", " [3]" ... where another person held the card's name.
bool SameDescription(const std::string& book, const std::string& server) {
  if (book == server) return true;
  if (book.size() < server.size() + 4 || book.compare(0, server.size(), server) != 0) return false;
  std::string_view rest(book);
  rest.remove_prefix(server.size());
  if (rest.substr(0, 2) != " [" || rest.back() != ']') return false;
  rest = rest.substr(2, rest.size() - 3);
  return !rest.empty() && std::all_of(rest.begin(), rest.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool SameNames(const CardPersonFields& a, const CardPersonFields& b) {
  return a.first == b.first && a.middle == b.middle && a.last == b.last;
}

CardPersonFields FieldsOf(const SnapshotPerson& p) { return CardPersonFields{p.description, p.email, p.first, p.middle, p.last, p.memo}; }
CardPersonFields FieldsOf(const SyncedEntry& e) { return CardPersonFields{e.key, e.email, e.first, e.middle, e.last, e.memo}; }

void SetBase(SyncedEntry& entry, const CardPersonFields& f) {
  entry.key = f.description;
  entry.email = f.email;
  entry.first = f.first;
  entry.middle = f.middle;
  entry.last = f.last;
  entry.memo = f.memo;
}

std::string Utf8(const std::string& ansi) { return AnsiToUtf8(ansi); }

std::string RevTime() {
  std::time_t now = std::time(nullptr);
  std::tm utc{};
#ifdef _WIN32
  gmtime_s(&utc, &now);
#else
  gmtime_r(&now, &utc);
#endif
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%dT%H%M%SZ", &utc);
  return text;
}

// ---- requests -------------------------------------------------------------------------------

std::string XmlEscaped(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '&') out += "&amp;";
    else if (c == '<') out += "&lt;";
    else if (c == '>') out += "&gt;";
    else if (c == '"') out += "&quot;";
    else out.push_back(c);
  }
  return out;
}

// The path of an absolute URL, as a multiget names its cards.
std::string PathOf(const std::string& url) {
  size_t scheme = url.find("://");
  if (scheme == std::string::npos) return url;
  size_t slash = url.find('/', scheme + 3);
  return slash == std::string::npos ? "/" : url.substr(slash);
}

std::string SyncCollectionBody(const std::string& token) {
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
         "<D:sync-collection xmlns:D=\"DAV:\"><D:sync-token>" + XmlEscaped(token) +
         "</D:sync-token><D:sync-level>1</D:sync-level><D:prop><D:getetag/></D:prop></D:sync-collection>";
}

const char kPropfindBody[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<D:propfind xmlns:D=\"DAV:\"><D:prop><D:getetag/><D:resourcetype/></D:prop></D:propfind>";

std::string MultigetBody(const std::vector<std::string>& urls) {
  std::string body =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
      "<C:addressbook-multiget xmlns:D=\"DAV:\" xmlns:C=\"urn:ietf:params:xml:ns:carddav\">"
      "<D:prop><D:getetag/><C:address-data/></D:prop>";
  for (const std::string& url : urls) body += "<D:href>" + XmlEscaped(PathOf(url)) + "</D:href>";
  return body + "</C:addressbook-multiget>";
}

bool Success(int status) { return status >= 200 && status < 300; }

bool SameUrl(const std::string& a, const std::string& b) {
  if (a == b) return true;
  auto trimmed = [](std::string s) {
    while (!s.empty() && s.back() == '/') s.pop_back();
    return s;
  };
  return trimmed(a) == trimmed(b);
}

// ---- the round's working data ---------------------------------------------------------------

struct ServerCard {
  std::string etag;
  std::optional<ParsedCard> card;  // none when it was not fetched (unchanged) or not a card
  bool fetched = false;
};

struct PersonWork {
  SyncedEntry entry;      // as at the last sync; url and uid also for a card new on the server
  bool known = false;     // the entry came from the state
  int local = -1;         // index into the snapshot's persons
  bool onServer = false;  // the server holds the card
  bool serverChanged = false;
  std::optional<ParsedCard> card;  // the server's current card, when on the server
  bool restored = false;  // Undo delete brought it back: its old card goes back
  // Decided:
  CardPersonFields merged;
  std::vector<std::string> categories;  // the card's CATEGORIES after the round, when it has any say
  bool categoriesSet = false;
  std::optional<ServerPerson> form;     // the card in the book's form; reset whenever `card` changes
  std::string registered;               // the folded description it holds among the taken ones
};

struct GroupWork {
  SyncedEntry entry;
  bool known = false;
  int local = -1;
  bool onServer = false;
  bool serverChanged = false;
  std::optional<ParsedCard> card;  // group cards only
  bool restored = false;           // Undo delete brought it back: its old card goes back
  std::string name, memo;          // decided
  std::vector<std::string> members;  // decided, descriptions
};

class Round {
 public:
  Round(DavTransport& transport, const BookSnapshot& snapshot, const SyncAccount& account, SyncState state,
        const std::atomic<bool>& cancel, const SyncProgress& progress, SyncJournal* journal, const CodePage& page)
      : transport_(transport), snapshot_(snapshot), account_(account), cancel_(cancel), progress_(progress),
        journal_(journal), page_(page) {
    result_.restoredPersonsSeen = state.restoredPersons;
    result_.restoredGroupsSeen = state.restoredGroups;
    result_.renamedPersonsSeen = state.renamedPersons;
    result_.report.stateDamaged = state.damaged;
    result_.report.damagedCopy = state.damagedCopy;
    if (SameUrl(state.bookUrl, account_.bookUrl)) start_ = std::move(state);
    start_.bookUrl = account_.bookUrl;
    start_.damaged = result_.report.stateDamaged;
    start_.damagedCopy = result_.report.damagedCopy;
    for (size_t i = 0; i < start_.entries.size(); ++i)
      if (!start_.entries[i].url.empty()) stateUrls_.emplace(start_.entries[i].url, i);
    result_.report.server = account_.bookUrl;
  }

  SyncResult Run() {
    if (account_.sendOnly) {
      // At close: what changed here goes out against the state's cards; nothing is fetched.
      listedFully_ = false;
      newToken_ = start_.syncToken;
    } else if (!List() || !Fetch() || Stopped()) {
      return Stop();
    }
    MatchPersons();
    MatchGroups();
    DecidePersons();
    DecideGroups();
    DecideCategories();
    if (!SendPersons() || !SendGroups() || !SendDeletes()) return Stop();
    return Finish();
  }

 private:
  // ---- stopping ----
  bool Stopped() {
    if (cancel_.load()) {
      result_.stop = SyncStop::kCancelled;
      result_.report.cancelled = true;
      return true;
    }
    return result_.stop != SyncStop::kDone;
  }

  bool Fail(const DavAnswer& answer) {
    if (answer.cancelled || cancel_.load()) {
      result_.stop = SyncStop::kCancelled;
      result_.report.cancelled = true;
    } else if (answer.httpStatus == 401) {
      result_.stop = SyncStop::kAuthNeeded;
      result_.report.failureStatus = 401;
    } else {
      // A body that was no multistatus or no card is told in the shell's words.
      result_.stop = SyncStop::kFailed;
      result_.report.failure = answer.failure;
      result_.report.failureStatus = answer.failure.empty() ? answer.httpStatus : 0;
      if (!result_.report.failed()) result_.report.failure = "?";
    }
    return false;
  }

  // What the server already holds is kept; nothing of its changes reaches the book.
  SyncResult Stop() {
    if (result_.stop == SyncStop::kDone) result_.stop = SyncStop::kCancelled;
    result_.changes.clear();
    result_.newState = StartWithWhatWasSent();
    result_.counts = SyncCounts{};
    result_.counts.sent = result_.report.sent;
    result_.report.newHere = result_.report.changedHere = result_.report.removedHere = 0;
    return std::move(result_);
  }

  DavAnswer Send(const DavRequest& request) {
    DavAnswer answer = transport_.Send(request);
    return answer;
  }

  void Progress() {
    if (progress_) progress_(done_, total_);
  }

  // ---- listing ----
  bool List() {
    listedFully_ = false;
    if (TryCollectionSync(start_.syncToken)) return true;
    if (result_.stop != SyncStop::kDone) return false;
    // The token was refused or the server has no sync-collection: compare every ETag.
    if (!start_.syncToken.empty() && TryCollectionSync("")) return true;
    if (result_.stop != SyncStop::kDone) return false;
    return ListByPropfind();
  }

  bool IsTheBook(const DavResponse& response) const {
    return SameUrl(response.href, account_.bookUrl) || response.isCollection || response.isAddressBook;
  }

  bool TryCollectionSync(const std::string& token) {
    std::map<std::string, std::string> listed;
    std::set<std::string> removed;
    std::string at = token;
    for (int page = 0; page < 100000; ++page) {
      if (cancel_.load()) return Fail(DavAnswer{});
      DavRequest request;
      request.kind = DavRequest::Kind::Report;
      request.url = account_.bookUrl;
      request.body = SyncCollectionBody(at);
      request.depth = 0;
      DavAnswer answer = Send(request);
      if (answer.httpStatus == 0 || answer.httpStatus == 401 || answer.httpStatus == 404 ||
          answer.httpStatus == 410 || answer.httpStatus >= 500 || answer.cancelled)
        return Fail(answer);
      if (answer.httpStatus != 207 || !answer.multistatus) return false;  // refused: compare ETags
      bool truncated = false;
      for (const DavResponse& response : answer.responses) {
        if (IsTheBook(response)) {
          if (response.status == 507) truncated = true;
          continue;
        }
        if (response.status == 404 || response.status == 410) {
          listed.erase(response.href);
          removed.insert(response.href);
        } else if (Success(response.status) || response.status == 0) {
          removed.erase(response.href);
          listed[response.href] = response.etag;
        }
      }
      if (answer.syncToken.empty()) return false;
      bool moved = answer.syncToken != at;
      at = answer.syncToken;
      if (!truncated || !moved) break;
    }
    listed_ = std::move(listed);
    removedOnServer_ = std::move(removed);
    newToken_ = at;
    listedFully_ = token.empty();
    return true;
  }

  bool ListByPropfind() {
    DavRequest request;
    request.kind = DavRequest::Kind::Propfind;
    request.url = account_.bookUrl;
    request.body = kPropfindBody;
    request.depth = 1;
    DavAnswer answer = Send(request);
    if (answer.httpStatus != 207 || !answer.multistatus) {
      if (answer.httpStatus != 0 && answer.httpStatus != 207) return Fail(answer);
      DavAnswer bad = answer;
      if (bad.failure.empty() && bad.httpStatus == 207) bad.failure = "multistatus";
      return Fail(bad);
    }
    for (const DavResponse& response : answer.responses) {
      if (IsTheBook(response)) continue;
      if (Success(response.status) || response.status == 0) listed_[response.href] = response.etag;
    }
    newToken_.clear();
    listedFully_ = true;
    return true;
  }

  // ---- fetching ----
  bool KnownEtagIs(const std::string& url, const std::string& etag) const {
    auto known = stateUrls_.find(url);
    if (known == stateUrls_.end()) return false;
    const SyncedEntry& entry = start_.entries[known->second];
    return !entry.etag.empty() && entry.etag == etag;
  }

  bool Fetch() {
    std::vector<std::string> wanted;
    for (const auto& [url, etag] : listed_)
      if (!KnownEtagIs(url, etag)) wanted.push_back(url);
    total_ = static_cast<uint32_t>(wanted.size());
    Progress();
    for (size_t at = 0; at < wanted.size(); at += kMultigetBatch) {
      std::vector<std::string> batch(wanted.begin() + at, wanted.begin() + std::min(wanted.size(), at + kMultigetBatch));
      if (!FetchBatch(batch)) return false;
      done_ += static_cast<uint32_t>(batch.size());
      Progress();
    }
    return true;
  }

  static size_t AnswerBytes(const DavAnswer& answer) {
    size_t bytes = answer.body.size();
    for (const DavResponse& response : answer.responses) bytes += response.addressData.size() + response.href.size();
    return bytes;
  }

  bool FetchBatch(const std::vector<std::string>& urls) {
    if (cancel_.load()) return Fail(DavAnswer{});
    DavRequest request;
    request.kind = DavRequest::Kind::Report;
    request.url = account_.bookUrl;
    request.body = MultigetBody(urls);
    request.depth = 1;
    DavAnswer answer = Send(request);
    bool tooLarge = answer.failure == kAnswerTooLarge || AnswerBytes(answer) > kMostAnswerBytes;
    if (tooLarge) {
      if (urls.size() == 1) {
        TooLarge(urls.front());
        return true;
      }
      size_t half = urls.size() / 2;
      return FetchBatch({urls.begin(), urls.begin() + half}) && FetchBatch({urls.begin() + half, urls.end()});
    }
    if (answer.httpStatus != 207 || !answer.multistatus) return Fail(answer);
    std::set<std::string> answered;
    for (DavResponse& response : answer.responses) {
      if (std::find(urls.begin(), urls.end(), response.href) == urls.end()) continue;
      answered.insert(response.href);
      if (response.status == 404 || response.status == 410) {
        listed_.erase(response.href);
        removedOnServer_.insert(response.href);
        continue;
      }
      TakeCard(response.href, response.etag.empty() ? listed_[response.href] : response.etag,
               std::move(response.addressData));
    }
    // A card the answer left out is asked for again next time: the token must not pass it.
    for (const std::string& url : urls)
      if (!answered.count(url)) holdToken_ = true;
    return true;
  }

  // The answer's text becomes the card's one text, which the state keeps afterwards.
  void TakeCard(const std::string& url, const std::string& etag, std::string text) {
    ServerCard& card = cards_[url];
    card.etag = etag;
    card.fetched = true;
    card.card = ParseCard(std::move(text));
    if (!card.card) {
      ReportLeftOut(url, SyncReason::kNotACard);
      holdToken_ = true;
    }
  }

  void TooLarge(const std::string& url) {
    cards_[url].fetched = false;
    ReportLeftOut(url, SyncReason::kTooLarge);
  }

  void ReportLeftOut(const std::string& url, SyncReason reason) {
    ++result_.report.leftOut;
    std::string name = url;
    for (const SyncedEntry& entry : start_.entries)
      if (entry.url == url) name = entry.key;
    result_.report.Add(name, reason);
    leftOut_.insert(url);
  }

  // The server's card at a URL now: fetched this round, or the state's when unchanged (read
  // once per run: its reading stays with the text).
  std::optional<ParsedCard> CurrentCard(const SyncedEntry& entry) {
    auto fetched = cards_.find(entry.url);
    if (fetched != cards_.end() && fetched->second.fetched) return std::move(fetched->second.card);
    return ReadCard(entry.card);
  }

  bool ServerHolds(const SyncedEntry& entry) const {
    if (removedOnServer_.count(entry.url)) return false;
    if (listed_.count(entry.url)) return true;
    // A token listing names only what changed: a card it does not name is as it was, unless our
    // put of it never got an answer (then the listing would have named it).
    if (!listedFully_) return !entry.etag.empty();
    return false;
  }

  // ---- matching entries to cards ----
  void MatchPersons() {
    persons_.reserve(start_.entries.size() + snapshot_.persons.size() + cards_.size());
    std::vector<bool> taken(snapshot_.persons.size(), false);
    std::unordered_map<std::string, int> byKey;
    for (size_t i = 0; i < snapshot_.persons.size(); ++i) byKey.emplace(Folded(snapshot_.persons[i].description), static_cast<int>(i));
    for (const SyncedEntry& entry : start_.entries) {
      if (entry.isGroup) continue;
      PersonWork work;
      work.entry = entry;
      work.known = true;
      persons_.push_back(std::move(work));
    }
    // An entry a merge renamed goes first: a member's entry of the description it took is not its.
    std::vector<std::string> wanted(persons_.size());
    std::vector<bool> noted(persons_.size(), false);
    for (size_t i = 0; i < persons_.size(); ++i) {
      wanted[i] = persons_[i].entry.key;
      for (const PersonRename& rename : start_.renamedPersons)
        if (!rename.url.empty() && rename.url == persons_[i].entry.url) wanted[i] = rename.to, noted[i] = true;
    }
    for (bool notedPass : {true, false})
      for (size_t i = 0; i < persons_.size(); ++i) {
        if (noted[i] != notedPass) continue;
        auto found = byKey.find(Folded(wanted[i]));
        if (found != byKey.end() && !taken[found->second]) {
          persons_[i].local = found->second;
          taken[found->second] = true;
        }
      }
    FollowRenames(taken);
    LinkRestored(taken);
    for (PersonWork& work : persons_) LoadServerSide(work.entry, work.onServer, work.serverChanged, work.card);
    LinkNewCards(taken);
    // Persons new here.
    for (size_t i = 0; i < snapshot_.persons.size(); ++i) {
      if (taken[i]) continue;
      PersonWork work;
      work.local = static_cast<int>(i);
      persons_.push_back(std::move(work));
    }
  }

  // A rename here stays one card: within one run the slot tells, else the same other fields.
  void FollowRenames(std::vector<bool>& taken) {
    for (PersonWork& work : persons_) {
      if (work.local >= 0) continue;
      int match = -1;
      for (size_t i = 0; i < snapshot_.persons.size(); ++i) {
        if (taken[i]) continue;
        const SnapshotPerson& p = snapshot_.persons[i];
        bool sameSlot = work.entry.runId != 0 && work.entry.runId == snapshot_.runId && work.entry.slot == p.slot;
        bool sameRest = !p.email.empty() && p.email == work.entry.email && p.first == work.entry.first &&
                        p.middle == work.entry.middle && p.last == work.entry.last && p.memo == work.entry.memo;
        if (sameSlot) {
          match = static_cast<int>(i);
          break;
        }
        if (sameRest) match = match == -1 ? static_cast<int>(i) : -2;
      }
      if (match >= 0) {
        work.local = match;
        taken[match] = true;
      }
    }
  }

  void LinkRestored(std::vector<bool>& taken) {
    for (const std::string& key : start_.restoredPersons) {
      auto tomb = std::find_if(start_.removed.begin(), start_.removed.end(),
                               [&](const SyncedEntry& e) { return !e.isGroup && CompareNoCaseKey(e.key, key, page_); });
      if (tomb == start_.removed.end()) continue;
      for (size_t i = 0; i < snapshot_.persons.size(); ++i) {
        if (taken[i] || !CompareNoCaseKey(snapshot_.persons[i].description, key, page_)) continue;
        PersonWork work;
        work.entry = *tomb;
        work.entry.etag.clear();
        work.known = true;
        work.restored = true;
        work.local = static_cast<int>(i);
        taken[i] = true;
        restoredUrls_.insert(work.entry.url);
        persons_.push_back(std::move(work));
        break;
      }
    }
  }

  void LoadServerSide(SyncedEntry& entry, bool& onServer, bool& changed, std::optional<ParsedCard>& card) {
    onServer = ServerHolds(entry);
    if (!onServer) return;
    auto fetched = cards_.find(entry.url);
    changed = fetched != cards_.end() && fetched->second.fetched;
    if (changed) entry.etag = fetched->second.etag;
    card = CurrentCard(entry);
    if (!card) onServer = false, leftOut_.insert(entry.url);
  }

  bool Tracked(const std::string& url) const { return stateUrls_.count(url) || restoredUrls_.count(url); }

  // Cards the state does not know: a person here of the same description (case ignored), else
  // of the same address, is the same one; one card to one person.
  void LinkNewCards(std::vector<bool>& taken) {
    std::vector<std::pair<std::string, ParsedCard*>> fresh;
    for (auto& [url, server] : cards_)
      if (server.fetched && server.card && !Tracked(url) && !server.card->fields.isGroup && !AdoptByUid(url, server))
        fresh.push_back({url, &*server.card});
    std::vector<ServerPerson> forms;
    for (auto& [url, card] : fresh) forms.push_back(BookFormOf(card->fields, page_));
    std::vector<int> link(fresh.size(), -1);
    for (int pass = 0; pass < 2; ++pass) {
      std::unordered_map<std::string, std::vector<size_t>> candidates;  // folded key -> persons, last first
      for (size_t i = snapshot_.persons.size(); i-- > 0;) {
        const SnapshotPerson& p = snapshot_.persons[i];
        const std::string& key = pass == 0 ? p.description : p.email;
        if (!taken[i] && !key.empty()) candidates[Folded(key)].push_back(i);
      }
      for (size_t c = 0; c < fresh.size(); ++c) {
        if (link[c] >= 0) continue;
        const std::string& key = pass == 0 ? forms[c].fields.description : forms[c].fields.email;
        auto found = candidates.find(Folded(key));
        if (key.empty() || found == candidates.end()) continue;
        while (!found->second.empty() && taken[found->second.back()]) found->second.pop_back();
        if (found->second.empty()) continue;
        link[c] = static_cast<int>(found->second.back());
        taken[link[c]] = true;
        found->second.pop_back();
      }
    }
    for (size_t c = 0; c < fresh.size(); ++c) {
      PersonWork work;
      work.entry.url = fresh[c].first;
      work.entry.uid = fresh[c].second->fields.uid;
      work.entry.etag = cards_[fresh[c].first].etag;
      work.onServer = work.serverChanged = true;
      work.card = std::move(*fresh[c].second);
      work.form = forms[c];
      work.local = link[c];
      if (link[c] >= 0) result_.report.Add(snapshot_.persons[link[c]].description, SyncReason::kLinked);
      else if (!forms[c].hasEmail) {
        ++result_.report.onlyOnServer;  // a phone-only contact stays on the server
        continue;
      }
      persons_.push_back(std::move(work));
    }
  }

  // A put whose answer never came, stored by the server under a name of its own: its UID tells.
  bool AdoptByUid(const std::string& url, ServerCard& server) {
    const std::string& uid = server.card->fields.uid;
    if (uid.empty()) return false;
    for (PersonWork& work : persons_) {
      if (!work.known || !work.entry.etag.empty() || work.onServer || work.entry.uid != uid) continue;
      work.entry.url = url;
      work.entry.etag = server.etag;
      work.card = std::move(server.card);
      work.form.reset();
      work.onServer = work.serverChanged = true;
      return true;
    }
    return false;
  }

  void MatchGroups() {
    std::vector<bool> taken(snapshot_.groups.size(), false);
    auto findLocal = [&](const std::string& name) {
      for (size_t i = 0; i < snapshot_.groups.size(); ++i)
        if (!taken[i] && CompareNoCaseKey(snapshot_.groups[i].name, name, page_)) return static_cast<int>(i);
      return -1;
    };
    for (const SyncedEntry& entry : start_.entries) {
      if (!entry.isGroup) continue;
      GroupWork work;
      work.entry = entry;
      work.known = true;
      work.local = findLocal(entry.key);
      if (work.local < 0 && entry.runId == snapshot_.runId && entry.runId != 0)
        for (size_t i = 0; i < snapshot_.groups.size(); ++i)
          if (!taken[i] && snapshot_.groups[i].slot == entry.slot) work.local = static_cast<int>(i);
      if (work.local >= 0) taken[work.local] = true;
      if (entry.form == GroupForm::kCategories) work.onServer = true;  // judged from the members' cards
      else LoadServerSide(work.entry, work.onServer, work.serverChanged, work.card);
      groups_.push_back(std::move(work));
    }
    LinkRestoredGroups(taken);
    for (auto& [url, server] : cards_) {
      if (!server.fetched || !server.card || !server.card->fields.isGroup || Tracked(url) || TrackedGroup(url)) continue;
      GroupWork work;
      work.entry.isGroup = true;
      work.entry.form = server.card->fields.form;
      work.entry.url = url;
      work.entry.uid = server.card->fields.uid;
      work.entry.etag = server.etag;
      work.onServer = work.serverChanged = true;
      work.card = server.card;
      work.local = findLocal(GroupNameOf(*server.card));
      if (work.local >= 0) taken[work.local] = true;
      groups_.push_back(std::move(work));
    }
    // Names on the persons' cards that no group stands for yet.
    for (PersonWork& person : persons_) {
      if (!person.onServer || !person.card) continue;
      for (const std::string& name : Form(person).categories) {
        if (!GroupNameFits(name, page_) || KnownGroupName(name)) continue;
        GroupWork work;
        work.entry.isGroup = true;
        work.entry.form = GroupForm::kCategories;
        work.entry.key = name;
        work.onServer = work.serverChanged = true;
        work.local = findLocal(name);
        if (work.local >= 0) taken[work.local] = true;
        groups_.push_back(std::move(work));
      }
    }
    for (size_t i = 0; i < snapshot_.groups.size(); ++i) {
      if (taken[i]) continue;
      GroupWork work;
      work.local = static_cast<int>(i);
      work.entry.isGroup = true;
      work.entry.form = NewGroupForm();
      groups_.push_back(std::move(work));
    }
  }

  // A group card deleted on the server by this computer and brought back by Undo delete goes
  // back as it was: its old URL, UID and properties, in its form.
  void LinkRestoredGroups(std::vector<bool>& taken) {
    for (const std::string& key : start_.restoredGroups) {
      auto tomb = std::find_if(start_.removed.begin(), start_.removed.end(), [&](const SyncedEntry& e) {
        return e.isGroup && e.form != GroupForm::kCategories && !e.url.empty() && CompareNoCaseKey(e.key, key, page_);
      });
      if (tomb == start_.removed.end() || TrackedGroup(tomb->url)) continue;
      for (size_t i = 0; i < snapshot_.groups.size(); ++i) {
        if (taken[i] || !CompareNoCaseKey(snapshot_.groups[i].name, key, page_)) continue;
        GroupWork work;
        work.entry = *tomb;
        work.entry.etag.clear();
        work.known = true;
        work.restored = true;
        work.local = static_cast<int>(i);
        taken[i] = true;
        groups_.push_back(std::move(work));
        break;
      }
    }
  }

  bool TrackedGroup(const std::string& url) const {
    for (const GroupWork& work : groups_)
      if (work.entry.url == url) return true;
    return false;
  }

  bool KnownGroupName(const std::string& name) const {
    for (const GroupWork& work : groups_)
      if (CompareNoCaseKey(work.entry.key, name, page_) || (work.card && CompareNoCaseKey(GroupNameOf(*work.card), name, page_)))
        return true;
    return false;
  }

  std::string GroupNameOf(const ParsedCard& card) const {
    AnsiText name = Utf8ToAnsiChecked(TrimBlanks(card.fields.fn));
    return BookName(TrimBlanks(name.text), kTextLimit, page_);
  }

  GroupForm NewGroupForm() const {
    if (account_.newGroups == SyncAccount::NewGroups::kCategories) return GroupForm::kCategories;
    bool apple = false, vcard4 = false;
    auto see = [&](GroupForm form) {
      apple |= form == GroupForm::kApple;
      vcard4 |= form == GroupForm::kVCard4;
    };
    for (const SyncedEntry& entry : start_.entries)
      if (entry.isGroup) see(entry.form);
    for (const auto& [url, server] : cards_)
      if (server.card && server.card->fields.isGroup) see(server.card->fields.form);
    if (apple) return GroupForm::kApple;
    if (vcard4 || account_.newGroups == SyncAccount::NewGroups::kGroupCards) return GroupForm::kVCard4;
    return GroupForm::kCategories;
  }

  const ServerPerson& Form(PersonWork& work) {
    if (!work.form) work.form = BookFormOf(work.card->fields, page_);
    return *work.form;
  }

  // ---- deciding persons ----
  // Descriptions the book will hold, folded, with how many hold each.
  void Register(PersonWork& work, const std::string& description) {
    if (!work.registered.empty() && --taken_[work.registered] == 0) taken_.erase(work.registered);
    work.registered = description.empty() ? std::string() : Folded(description);
    if (!work.registered.empty()) ++taken_[work.registered];
  }

  bool DescriptionTaken(const std::string& name, const PersonWork* self) const {
    std::string folded = Folded(name);
    auto held = taken_.find(folded);
    if (held == taken_.end()) return false;
    return held->second > (self && self->registered == folded ? 1 : 0);
  }

  std::string Unique(const std::string& name, const PersonWork* self) const {
    if (!DescriptionTaken(name, self)) return name;
    for (int n = 2; n < 100000; ++n) {
      std::string suffix = " [" + std::to_string(n) + "]";
      std::string candidate = std::string(CutAnsi(name, kTextLimit - suffix.size(), page_)) + suffix;
      if (!DescriptionTaken(candidate, self)) return candidate;
    }
    return name;
  }

  // One field three ways: this computer wins where both changed it.
  template <typename Same>
  std::string MergeOne(const std::string& local, const std::string* base, const std::string& server, Same same,
                       int field, const std::string& who) {
    bool localChanged = !base || local != *base;
    bool serverChanged = !base || !same(*base, server);
    if (!localChanged) return same(local, server) ? local : server;
    if (serverChanged && !same(local, server)) {
      result_.report.Add(who, SyncReason::kBothChanged, field, server);
    }
    return local;
  }

  void DecidePersons() {
    for (PersonWork& work : persons_)
      if (work.local >= 0) Register(work, snapshot_.persons[work.local].description);
    for (PersonWork& work : persons_) DecidePerson(work);
    for (PersonWork& work : persons_)
      if (!work.merged.description.empty()) byDescription_[Folded(work.merged.description)] = &work - persons_.data();
    for (size_t i = 0; i < persons_.size(); ++i)
      if (!persons_[i].entry.uid.empty()) byUid_.emplace(MemberUidOf(persons_[i].entry.uid), i);
    for (const PersonWork& work : persons_)
      if (work.local >= 0 && work.merged.description != snapshot_.persons[work.local].description)
        renamed_[snapshot_.persons[work.local].description] = work.merged.description;
    for (size_t i = 0; i < persons_.size(); ++i) {
      const PersonWork& work = persons_[i];
      if (work.known && !work.restored) byBaseKey_.emplace(Folded(work.entry.key), i);
      if (work.local >= 0) byLocal_.emplace(Folded(snapshot_.persons[work.local].description), i);
    }
  }

  void DecidePerson(PersonWork& work) {
    if (work.local < 0) {
      if (work.onServer && work.card && (!work.known || work.serverChanged)) {
        work.merged = Form(work).fields;
        if (work.merged.description.empty()) {
          result_.report.Add(work.entry.url, SyncReason::kCannotTake);
          ++result_.report.leftOut;
          work.onServer = false;
          work.card.reset();
          work.form.reset();
          return;
        }
        work.merged.description = Unique(work.merged.description, &work);
        Register(work, work.merged.description);
        if (work.known) result_.report.Add(work.merged.description, SyncReason::kBackFromServer);
      }
      return;
    }
    const CardPersonFields local = FieldsOf(snapshot_.persons[work.local]);
    if (!work.onServer || !work.card) {
      work.merged = local;
      if (work.known && !Uncertain(work) && ChangedSinceSync(work, local) && !leftOut_.count(work.entry.url))
        result_.report.Add(local.description, SyncReason::kSentAgain);
      return;
    }
    CardPersonFields server = Form(work).fields;
    std::optional<CardPersonFields> base;
    if (work.known && !work.restored) base = FieldsOf(work.entry);
    auto exact = [](const std::string& a, const std::string& b) { return a == b; };
    const std::string& who = local.description;
    CardPersonFields& m = work.merged;
    m.description = MergeOne(local.description, base ? &base->description : nullptr, server.description,
                             SameDescription, kSyncFieldDescription, who);
    if (!SameDescription(m.description, server.description) || m.description == server.description) {
      // taken from the server: it may need a suffix here
      if (m.description != local.description) m.description = Unique(m.description, &work);
    }
    Register(work, m.description);
    m.email = MergeOne(local.email, base ? &base->email : nullptr, server.email, exact, kSyncFieldEmail, who);
    std::string localNames = local.first + ";" + local.middle + ";" + local.last;
    std::string baseNames = base ? base->first + ";" + base->middle + ";" + base->last : std::string();
    std::string serverNames = server.first + ";" + server.middle + ";" + server.last;
    std::string names = MergeOne(localNames, base ? &baseNames : nullptr, serverNames, exact, kSyncFieldNames, who);
    if (names == serverNames) m.first = server.first, m.middle = server.middle, m.last = server.last;
    else m.first = local.first, m.middle = local.middle, m.last = local.last;
    m.memo = MergeOne(local.memo, base ? &base->memo : nullptr, server.memo, exact, kSyncFieldMemo, who);
  }

  // Put without an answer, or put back by Undo delete: sent again when the server lacks it.
  static bool Uncertain(const PersonWork& work) { return work.known && (work.entry.etag.empty() || work.restored); }

  bool ChangedSinceSync(const PersonWork& work, const CardPersonFields& local) const {
    CardPersonFields base = FieldsOf(work.entry);
    return local.description != base.description || local.email != base.email || !SameNames(local, base) ||
           local.memo != base.memo;
  }

  // ---- deciding groups ----
  std::string FinalDescriptionOfUid(const std::string& uid) const {
    if (uid.empty()) return {};
    auto [first, last] = byUid_.equal_range(uid);
    for (auto at = first; at != last; ++at) {
      const PersonWork& work = persons_[at->second];
      if (work.local >= 0 || work.onServer) return work.merged.description;
    }
    return {};
  }

  std::vector<std::string> ServerMembers(const GroupWork& group) const {
    std::vector<std::string> members;
    if (group.entry.form == GroupForm::kCategories) {
      std::string name = group.local >= 0 ? snapshot_.groups[group.local].name : group.entry.key;
      for (PersonWork& work : const_cast<std::vector<PersonWork>&>(persons_)) {
        if (!work.onServer || !work.card || work.merged.description.empty()) continue;
        for (const std::string& category : const_cast<Round*>(this)->Form(work).categories)
          if (CompareNoCaseKey(category, name, page_) || CompareNoCaseKey(category, group.entry.key, page_)) {
            members.push_back(work.merged.description);
            break;
          }
      }
      return members;
    }
    if (!group.card) return members;
    for (const std::string& uid : group.card->fields.memberUids) {
      std::string description = FinalDescriptionOfUid(uid);
      if (!description.empty()) members.push_back(description);
    }
    return members;
  }

  // Local members renamed by this round carry their new descriptions.
  std::vector<std::string> LocalMembers(const SnapshotGroup& group) const {
    std::vector<std::string> members;
    for (const std::string& member : group.members) {
      auto renamed = renamed_.find(member);
      members.push_back(renamed == renamed_.end() || renamed->second.empty() ? member : renamed->second);
    }
    return members;
  }

  bool SameMembers(const std::vector<std::string>& a, const std::vector<std::string>& b, bool ordered) const {
    if (a.size() != b.size()) return false;
    if (ordered) {
      for (size_t i = 0; i < a.size(); ++i)
        if (!CompareNoCaseKey(a[i], b[i], page_)) return false;
      return true;
    }
    std::set<std::string> x, y;
    for (const std::string& s : a) x.insert(Folded(s));
    for (const std::string& s : b) y.insert(Folded(s));
    return x == y;
  }

  // Members as the persons of this round they stand for ("#" and the index; "?" and the text for
  // one the round does not know), so that a description passed from one person to another (a
  // merge's survivor taking a member's) never counts as the same member.
  using MemberIds = std::vector<std::string>;
  static std::string IdOf(size_t index) { return "#" + std::to_string(index); }

  static MemberIds IdsOf(const std::vector<std::string>& names, const std::unordered_map<std::string, size_t>& by) {
    MemberIds ids;
    for (const std::string& name : names) {
      auto at = by.find(Folded(name));
      ids.push_back(at == by.end() ? "?" + Folded(name) : IdOf(at->second));
    }
    return ids;
  }

  MemberIds BaseIds(const GroupWork& group) const { return IdsOf(group.entry.members, byBaseKey_); }
  MemberIds LocalIds(const SnapshotGroup& local) const { return IdsOf(local.members, byLocal_); }

  // The person of this round holding a UID, if any.
  std::optional<size_t> PersonOfUid(const std::string& uid) const {
    auto [first, last] = byUid_.equal_range(uid);
    std::optional<size_t> found;
    for (auto at = first; at != last; ++at) {
      const PersonWork& work = persons_[at->second];
      if (!found || work.local >= 0 || work.onServer) found = at->second;
      if (work.local >= 0 || work.onServer) break;
    }
    return found;
  }

  MemberIds ServerIds(const GroupWork& group) {
    MemberIds ids;
    if (group.entry.form == GroupForm::kCategories) {
      std::string name = group.local >= 0 ? snapshot_.groups[group.local].name : group.entry.key;
      for (size_t i = 0; i < persons_.size(); ++i) {
        PersonWork& work = persons_[i];
        if (!work.onServer || !work.card) continue;
        for (const std::string& category : Form(work).categories)
          if (CompareNoCaseKey(category, name, page_) || CompareNoCaseKey(category, group.entry.key, page_)) {
            ids.push_back(IdOf(i));
            break;
          }
      }
      return ids;
    }
    if (!group.card) return ids;
    // A member the book does not hold (a phone-only contact) is no member here.
    for (const std::string& uid : group.card->fields.memberUids)
      if (std::optional<size_t> person = PersonOfUid(uid)) ids.push_back(IdOf(*person));
    return ids;
  }

  static bool SameIds(const MemberIds& a, const MemberIds& b, bool ordered) {
    if (ordered) return a == b;
    return std::set<std::string>(a.begin(), a.end()) == std::set<std::string>(b.begin(), b.end());
  }

  void DecideGroups() {
    for (GroupWork& group : groups_) DecideGroup(group);
  }

  void DecideGroup(GroupWork& group) {
    bool ordered = group.entry.form != GroupForm::kCategories;
    std::vector<std::string> server = ServerMembers(group);
    MemberIds serverIds = ServerIds(group);
    std::string serverName = group.card ? GroupNameOf(*group.card) : group.entry.key;
    std::string serverMemo = group.card ? BookText(Utf8ToAnsiChecked(group.card->fields.note).text, kTextLimit, page_)
                                        : (group.local >= 0 ? snapshot_.groups[group.local].memo : group.entry.memo);
    if (group.entry.form == GroupForm::kCategories && group.known && serverIds.empty()) group.onServer = false;
    if (group.local < 0) {
      if (group.onServer && (!group.known || group.serverChanged || !SameMembers(server, group.entry.members, ordered))) {
        group.name = serverName;
        group.memo = serverMemo;
        group.members = server;
      }
      return;
    }
    const SnapshotGroup& local = snapshot_.groups[group.local];
    std::vector<std::string> localMembers = LocalMembers(local);
    if (!group.onServer) {
      group.name = local.name;
      group.memo = local.memo;
      group.members = localMembers;
      return;
    }
    bool hasBase = group.known;
    auto exact = [](const std::string& a, const std::string& b) { return a == b; };
    group.name = MergeOne(local.name, hasBase ? &group.entry.key : nullptr, serverName, exact, kSyncFieldDescription, local.name);
    group.memo = MergeOne(local.memo, hasBase ? &group.entry.memo : nullptr, serverMemo, exact, kSyncFieldMemo, local.name);
    MemberIds localIds = LocalIds(local), baseIds = BaseIds(group);
    bool localChanged = !hasBase || !SameIds(localIds, baseIds, ordered);
    bool serverChanged = !hasBase || !SameIds(serverIds, baseIds, ordered);
    if (!localChanged) {
      // The book's order stays; members new on the server are appended.
      auto holds = [](const MemberIds& ids, const std::string& id) { return std::find(ids.begin(), ids.end(), id) != ids.end(); };
      std::vector<std::string> kept;
      for (size_t i = 0; i < localMembers.size(); ++i)
        if (holds(serverIds, localIds[i])) kept.push_back(localMembers[i]);
      for (const std::string& id : serverIds) {
        if (id[0] != '#' || holds(localIds, id)) continue;
        const std::string& description = persons_[std::stoul(id.substr(1))].merged.description;
        if (!description.empty() && std::none_of(kept.begin(), kept.end(), [&](const std::string& k) {
              return CompareNoCaseKey(description, k, page_);
            }))
          kept.push_back(description);
      }
      group.members = kept;
    } else {
      group.members = localMembers;
      if (serverChanged && !SameIds(localIds, serverIds, ordered) && hasBase)
        result_.report.Add(local.name, SyncReason::kBothChanged, kSyncFieldMembers, JoinedNames(server));
    }
  }

  static std::string JoinedNames(const std::vector<std::string>& names) {
    std::string joined;
    for (const std::string& name : names) joined += (joined.empty() ? "" : ", ") + name;
    return joined;
  }

  // Each person's CATEGORIES: the names that are no group of the categories form as the card
  // had them, then the categories-form groups the person is a member of after the round.
  void DecideCategories() {
    std::vector<const GroupWork*> categoryGroups;
    for (const GroupWork& group : groups_)
      if (group.entry.form == GroupForm::kCategories && !group.name.empty() && (group.local >= 0 || group.onServer))
        categoryGroups.push_back(&group);
    std::vector<std::string> allNames;
    for (const GroupWork& group : groups_)
      if (group.entry.form == GroupForm::kCategories) {
        allNames.push_back(group.entry.key);
        if (!group.name.empty()) allNames.push_back(group.name);
      }
    std::unordered_map<const GroupWork*, std::set<std::string>> membersOf;
    for (const GroupWork* group : categoryGroups)
      for (const std::string& member : group->members) membersOf[group].insert(Folded(member));
    for (PersonWork& person : persons_) {
      if (person.local < 0 && !person.onServer) continue;
      std::string self = Folded(person.merged.description);
      auto isMember = [&](const GroupWork* group) { return membersOf[group].count(self) > 0; };
      auto groupNamed = [&](const std::string& ansi) -> const GroupWork* {
        for (const GroupWork* group : categoryGroups)
          if (CompareNoCaseKey(group->name, ansi, page_) || CompareNoCaseKey(group->entry.key, ansi, page_)) return group;
        return nullptr;
      };
      // The card's order stays; a group joined here is appended.
      std::vector<std::string> names;
      std::vector<const GroupWork*> listed;
      if (person.card)
        for (const std::string& category : person.card->fields.categories) {
          std::string ansi = BookName(Utf8ToAnsiChecked(TrimBlanks(category)).text, kTextLimit, page_);
          const GroupWork* group = groupNamed(ansi);
          bool otherName = !group && std::none_of(allNames.begin(), allNames.end(),
                                                  [&](const std::string& n) { return CompareNoCaseKey(n, ansi, page_); });
          if (otherName) names.push_back(category);
          else if (group && isMember(group) && std::find(listed.begin(), listed.end(), group) == listed.end()) {
            names.push_back(group->name == ansi ? category : Utf8(group->name));
            listed.push_back(group);
          }
        }
      for (const GroupWork* group : categoryGroups)
        if (isMember(group) && std::find(listed.begin(), listed.end(), group) == listed.end()) names.push_back(Utf8(group->name));
      person.categories = std::move(names);
      person.categoriesSet = true;
    }
  }

  // ---- sending ----
  CardEdit EditFor(const PersonWork& work, const std::optional<ParsedCard>& card) const {
    CardEdit edit;
    edit.revTime = RevTime();
    const CardPersonFields& m = work.merged;
    if (!card) {
      edit.fn = Utf8(m.description);
      edit.name = std::vector<std::string>{Utf8(m.first), Utf8(m.middle), Utf8(m.last)};
      edit.email = Utf8(m.email);
      edit.note = Utf8(m.memo);
      if (!work.categories.empty()) edit.categories = work.categories;
      return edit;
    }
    CardPersonFields server = &card == &work.card && work.form ? work.form->fields : BookFormOf(card->fields, page_).fields;
    if (!SameDescription(m.description, server.description)) edit.fn = Utf8(m.description);
    if (!SameNames(m, server)) edit.name = std::vector<std::string>{Utf8(m.first), Utf8(m.middle), Utf8(m.last)};
    if (m.email != server.email) edit.email = Utf8(m.email);
    if (m.memo != server.memo) edit.note = Utf8(m.memo);
    if (work.categoriesSet && !SameCategories(work.categories, card->fields.categories)) edit.categories = work.categories;
    return edit;
  }

  static bool SameCategories(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    std::set<std::string> x, y;
    for (const std::string& s : a) x.insert(Folded(s));
    for (const std::string& s : b) y.insert(Folded(s));
    return x == y;
  }

  static bool Empty(const CardEdit& edit) {
    return !edit.fn && !edit.email && !edit.note && !edit.name && !edit.categories && !edit.memberUids;
  }

  bool Journal(JournalRecord::Kind kind, const SyncedEntry& entry) {
    if (journal_) journal_->Append(JournalRecord{kind, entry});
    return true;
  }

  // The state after a card reached the server: its text, and the entry as this computer held
  // it, so that an unfinished round leaves the book's side to the next.
  void NoteSent(const SyncedEntry& entry) {
    sentUrls_.insert(entry.url);
    sentCards_[entry.url] = entry.card;
    auto at = sentAt_.find(entry.url);
    if (at != sentAt_.end()) {
      sentEntries_[at->second] = entry;
    } else {
      sentAt_.emplace(entry.url, sentEntries_.size());
      sentEntries_.push_back(entry);
    }
    deletedHere_.erase(entry.url);
  }

  void ForgetSent(const std::string& url) {
    auto at = sentAt_.find(url);
    if (at == sentAt_.end()) return;
    sentEntries_[at->second].url.clear();
    sentAt_.erase(at);
    sentUrls_.erase(url);
    sentCards_.erase(url);
  }

  // The state as the round found it, with every answer that changed the server.
  SyncState StartWithWhatWasSent() {
    SyncState state = std::move(start_);
    std::unordered_map<std::string, size_t> at;
    for (size_t i = 0; i < state.entries.size(); ++i) at.emplace(state.entries[i].url, i);
    for (SyncedEntry& entry : sentEntries_) {
      if (entry.url.empty()) continue;  // forgotten
      auto known = at.find(entry.url);
      if (known != at.end()) state.entries[known->second] = std::move(entry);
      else at.emplace(entry.url, state.entries.size()), state.entries.push_back(std::move(entry));
    }
    auto gone = [&](const SyncedEntry& e) { return !e.url.empty() && deletedHere_.count(e.url) > 0; };
    state.entries.erase(std::remove_if(state.entries.begin(), state.entries.end(), gone), state.entries.end());
    state.removed = RemovedAfterRound(std::move(state.removed));
    return state;
  }

  // Cards deleted here stay at hand for Undo delete; one put back leaves the list.
  std::vector<SyncedEntry> RemovedAfterRound(std::vector<SyncedEntry> removed) {
    removed.erase(std::remove_if(removed.begin(), removed.end(),
                                 [&](const SyncedEntry& e) { return sentUrls_.count(e.url) > 0; }),
                  removed.end());
    for (const SyncedEntry& entry : newlyRemoved_)
      if (deletedHere_.count(entry.url)) removed.push_back(entry);
    return removed;
  }

  std::string NewCardUrl(std::string& uid) const {
    uid = NewUuid();
    std::string base = account_.bookUrl;
    if (base.empty() || base.back() != '/') base.push_back('/');
    return base + uid + ".vcf";
  }

  // Puts the text; on success the entry takes the server's URL and ETag. 412: the card changed.
  enum class Put { kDone, kChanged, kFailed };
  // The text sent is one text for the request, the journal, the state and the round.
  Put PutCard(SyncedEntry& entry, std::string body, bool isNew) {
    if (cancel_.load()) {
      Fail(DavAnswer{});
      return Put::kFailed;
    }
    CardText text(std::move(body));
    DavRequest request;
    request.kind = DavRequest::Kind::Put;
    request.url = entry.url;
    request.body = text.Text();
    if (isNew) request.ifNoneMatchAny = true;
    else request.ifMatch = entry.etag;
    SyncedEntry pending = entry;
    pending.card = text;
    bool wasSent = sentAt_.count(entry.url) > 0;
    if (isNew) {
      pending.etag.clear();
      Journal(JournalRecord::Kind::kPutSent, pending);
      NoteSent(pending);  // if its answer never comes, the next round looks for it
    }
    DavAnswer answer = Send(request);
    if (answer.httpStatus == 412) {
      if (isNew && !wasSent) ForgetSent(pending.url);  // the name is another card's: nothing of ours there
      return Put::kChanged;
    }
    if (!Success(answer.httpStatus)) {
      Fail(answer);
      return Put::kFailed;
    }
    if (!answer.location.empty()) entry.url = answer.location;
    entry.etag = answer.etag.empty() ? kUnknownEtag : answer.etag;
    entry.card = text;
    ++result_.report.sent;
    return Put::kDone;
  }

  bool Refetch(SyncedEntry& entry, std::optional<ParsedCard>& card, bool& onServer) {
    DavRequest request;
    request.kind = DavRequest::Kind::Get;
    request.url = entry.url;
    DavAnswer answer = Send(request);
    if (answer.httpStatus == 404 || answer.httpStatus == 410) {
      onServer = false;
      card.reset();
      return true;
    }
    if (!Success(answer.httpStatus)) return Fail(answer);
    card = ParseCard(std::move(answer.body));
    if (!card) {
      ReportLeftOut(entry.url, SyncReason::kNotACard);
      return true;
    }
    onServer = true;
    entry.etag = answer.etag;
    return true;
  }

  bool SendPersons() {
    total_ += static_cast<uint32_t>(persons_.size());
    Progress();  // the status bar counts the sending from its start (the shell thins the updates out)
    for (PersonWork& work : persons_) {
      if (!SendPerson(work)) return false;
      ++done_;
      Progress();
    }
    return true;
  }

  bool SendPerson(PersonWork& work) {
    if (work.local < 0) return true;  // deleted here: later; or only on the server
    if (leftOut_.count(work.entry.url)) return true;
    // Deleted on the server and unchanged here: it goes here too.
    if (!work.onServer && work.known && !Uncertain(work) && !ChangedSinceSync(work, FieldsOf(snapshot_.persons[work.local])))
      return true;
    for (int attempt = 0; attempt < kMostTries; ++attempt) {
      bool isNew = !work.onServer;
      CardEdit edit = isNew ? EditFor(work, std::nullopt) : EditFor(work, work.card);
      SyncedEntry next = work.entry;
      std::string text;
      if (isNew) {
        std::optional<ParsedCard> old = work.known ? ReadCard(work.entry.card) : std::nullopt;
        if (old) {
          // sent again, or put back by Undo delete: with its old UID and properties
          text = PatchCard(*old, EditFor(work, old));
        } else {
          if (next.url.empty()) next.url = NewCardUrl(next.uid);
          text = NewPersonCard(next.uid, edit);
        }
        if (next.url.empty()) next.url = NewCardUrl(next.uid);
      } else {
        if (Empty(edit)) break;
        text = PatchCard(*work.card, edit);
      }
      SetBase(next, FieldsOf(snapshot_.persons[work.local]));
      Put put = PutCard(next, std::move(text), isNew);
      if (put == Put::kFailed) return false;
      if (put == Put::kDone) {
        NoteSent(next);
        Journal(JournalRecord::Kind::kPutDone, next);
        work.entry.url = next.url;
        work.entry.uid = next.uid;
        work.entry.etag = next.etag;
        work.card = ReadCard(next.card);
        work.form.reset();
        work.onServer = true;
        break;
      }
      // 412: the card changed on the server meanwhile: fetch it and decide again (at close it
      // waits for the next sync).
      if (account_.sendOnly) break;
      if (isNew && work.entry.url.empty()) work.entry.url = next.url;
      if (isNew && !work.known) {
        work.entry.url.clear();  // a name taken by chance: a new UUID next time
        continue;
      }
      if (!Refetch(work.entry, work.card, work.onServer)) return false;
      work.form.reset();
      work.serverChanged = true;
      DecidePerson(work);
    }
    return true;
  }

  std::vector<std::string> MemberUids(const GroupWork& group) const {
    std::vector<std::string> uids;
    for (const std::string& member : group.members) {
      auto at = byDescription_.find(Folded(member));
      if (at == byDescription_.end()) continue;
      const PersonWork& work = persons_[at->second];
      if (!work.entry.uid.empty() && work.onServer) uids.push_back(MemberUidOf(work.entry.uid));
    }
    return uids;
  }

  // The card's members that are persons of this round (a member's card deleted here included).
  std::vector<std::string> KnownMemberUids(const ParsedCard& card) const {
    std::vector<std::string> uids;
    for (const std::string& uid : card.fields.memberUids)
      if (PersonOfUid(uid)) uids.push_back(uid);
    return uids;
  }

  // Members the book does not hold (a phone-only contact) stay on the card.
  std::vector<std::string> WithUnknownMembers(std::vector<std::string> uids, const std::optional<ParsedCard>& card) const {
    if (!card) return uids;
    for (const std::string& uid : card->fields.memberUids)
      if (!PersonOfUid(uid) && std::find(uids.begin(), uids.end(), uid) == uids.end()) uids.push_back(uid);
    return uids;
  }

  bool SendGroups() {
    for (GroupWork& group : groups_)
      if (!SendGroup(group)) return false;
    return true;
  }

  bool SendGroup(GroupWork& group) {
    if (group.local < 0) return true;
    const SnapshotGroup& local = snapshot_.groups[group.local];
    if (group.entry.form == GroupForm::kCategories) {
      SyncedEntry next = group.entry;
      next.key = local.name;
      next.memo = local.memo;
      next.members = local.members;
      next.isGroup = true;
      return true;  // travels on the persons' cards
    }
    if (leftOut_.count(group.entry.url)) return true;
    // Deleted on the server and unchanged here: it goes here too.
    if (!group.onServer && group.known && !group.entry.etag.empty() && !GroupChangedSinceSync(group)) return true;
    for (int attempt = 0; attempt < kMostTries; ++attempt) {
      bool isNew = !group.onServer;
      CardEdit edit;
      edit.revTime = RevTime();
      std::vector<std::string> uids = MemberUids(group);
      if (isNew || GroupNameOf(*group.card) != group.name) edit.fn = Utf8(group.name);
      std::string serverMemo = group.card ? BookText(Utf8ToAnsiChecked(group.card->fields.note).text, kTextLimit, page_) : "";
      if (isNew || serverMemo != group.memo) edit.note = Utf8(group.memo);
      if (isNew || uids != KnownMemberUids(*group.card)) edit.memberUids = WithUnknownMembers(uids, group.card);
      SyncedEntry next = group.entry;
      std::string text;
      if (isNew) {
        if (next.url.empty()) next.url = NewCardUrl(next.uid);
        std::optional<ParsedCard> old = group.known ? ReadCard(group.entry.card) : std::nullopt;
        text = old ? PatchCard(*old, edit) : NewGroupCard(next.uid, group.entry.form, edit);
      } else {
        if (Empty(edit)) break;
        text = PatchCard(*group.card, edit);
      }
      next.key = local.name;
      next.memo = local.memo;
      next.members = LocalMembers(local);
      Put put = PutCard(next, std::move(text), isNew);
      if (put == Put::kFailed) return false;
      if (put == Put::kDone) {
        NoteSent(next);
        Journal(JournalRecord::Kind::kPutDone, next);
        group.entry.url = next.url;
        group.entry.uid = next.uid;
        group.entry.etag = next.etag;
        group.card = ReadCard(next.card);
        group.onServer = true;
        break;
      }
      if (isNew && !group.known) continue;
      if (account_.sendOnly) break;
      if (!Refetch(group.entry, group.card, group.onServer)) return false;
      group.serverChanged = true;
      DecideGroup(group);
    }
    return true;
  }

  // Deleted here, unchanged on the server: DELETE with the ETag. Changed there: it comes back.
  bool DeleteCard(SyncedEntry& entry, std::optional<ParsedCard>& card, bool& onServer, bool& changed) {
    if (cancel_.load()) return Fail(DavAnswer{});
    DavRequest request;
    request.kind = DavRequest::Kind::Delete;
    request.url = entry.url;
    if (entry.etag != kUnknownEtag) request.ifMatch = entry.etag;
    DavAnswer answer = Send(request);
    if (answer.httpStatus == 412) {
      if (account_.sendOnly) return true;
      if (!Refetch(entry, card, onServer)) return false;
      changed = true;
      return true;
    }
    if (!Success(answer.httpStatus) && answer.httpStatus != 404 && answer.httpStatus != 410) return Fail(answer);
    onServer = false;
    card.reset();
    Journal(JournalRecord::Kind::kDeleted, entry);
    deletedHere_.insert(entry.url);
    newlyRemoved_.push_back(entry);
    if (Success(answer.httpStatus)) ++result_.report.sent;
    return true;
  }

  bool SendDeletes() {
    for (PersonWork& work : persons_) {
      if (work.local >= 0 || !work.known || !work.onServer || work.serverChanged || work.restored) continue;
      if (!DeleteCard(work.entry, work.card, work.onServer, work.serverChanged)) return false;
      work.form.reset();
      if (work.onServer) DecidePerson(work);  // changed on the server meanwhile: it comes back
    }
    for (GroupWork& group : groups_) {
      if (group.local >= 0 || !group.known || !group.onServer || group.serverChanged) continue;
      if (group.entry.form == GroupForm::kCategories) {
        group.onServer = false;  // the members' cards no longer name it
        continue;
      }
      if (!DeleteCard(group.entry, group.card, group.onServer, group.serverChanged)) return false;
      if (group.onServer) DecideGroup(group);
    }
    return true;
  }

  // ---- the result ----
  void AddPersonChange(const PersonWork& work) {
    if (work.local >= 0) {
      const SnapshotPerson& local = snapshot_.persons[work.local];
      CardPersonFields now = FieldsOf(local);
      const CardPersonFields& m = work.merged;
      if (m.description == now.description && m.email == now.email && SameNames(m, now) && m.memo == now.memo) return;
      BookChange change;
      change.kind = BookChange::Kind::kUpdatePerson;
      change.slot = local.slot;
      change.key = local.description;
      change.person = m;
      result_.changes.push_back(change);
      ++result_.counts.changedHere;
      return;
    }
    if (work.onServer && !work.merged.description.empty()) {
      if (work.known && !work.serverChanged) return;
      BookChange change;
      change.kind = BookChange::Kind::kAddPerson;
      change.key = work.merged.description;
      change.person = work.merged;
      result_.changes.push_back(change);
      ++result_.counts.newHere;
    }
  }

  SyncResult Finish() {
    SyncState state;
    state.entries.reserve(persons_.size() + groups_.size());
    result_.changes.reserve(persons_.size() + groups_.size());
    state.bookUrl = start_.bookUrl;
    state.onlyOnServer = result_.report.onlyOnServer;
    state.removed = RemovedAfterRound(std::move(start_.removed));
    for (PersonWork& work : persons_) {
      // Deleted on the server, unchanged here: it goes here too.
      if (work.local >= 0 && work.known && !work.onServer && !Uncertain(work) && !ChangedSinceSync(work, FieldsOf(snapshot_.persons[work.local])) &&
          !leftOut_.count(work.entry.url)) {
        BookChange change;
        change.kind = BookChange::Kind::kRemovePerson;
        change.slot = snapshot_.persons[work.local].slot;
        change.key = snapshot_.persons[work.local].description;
        result_.changes.push_back(change);
        ++result_.counts.removedHere;
        continue;
      }
      if (leftOut_.count(work.entry.url) && work.known) {
        state.entries.push_back(work.entry);  // as before: the next sync tries again
        continue;
      }
      if (!work.onServer) continue;
      AddPersonChange(work);
      // The work is done with: its entry moves to the state, its card's reading goes.
      CardText text = work.card ? CardTextOf(work) : work.entry.card;
      std::string etag = work.entry.etag.empty() ? cards_[work.entry.url].etag : work.entry.etag;
      SyncedEntry entry = std::move(work.entry);
      entry.isGroup = false;
      SetBase(entry, work.merged);
      entry.etag = std::move(etag);
      entry.card = std::move(text);
      if (work.local >= 0) entry.slot = snapshot_.persons[work.local].slot, entry.runId = snapshot_.runId;
      else entry.runId = 0;
      state.entries.push_back(std::move(entry));
      work.card.reset();
      work.form.reset();
    }
    FinishGroups(state);
    state.syncToken = holdToken_ ? start_.syncToken : newToken_;
    result_.newState = std::move(state);
    result_.report.newHere = result_.counts.newHere;
    result_.report.changedHere = result_.counts.changedHere;
    result_.report.removedHere = result_.counts.removedHere;
    result_.counts.sent = result_.report.sent;
    for (const SyncReportLine& line : result_.report.lines) result_.counts.conflicts += line.reason == SyncReason::kBothChanged;
    // Undo delete reaches back one delete; old cards need not be kept for ever.
    if (result_.newState.removed.size() > kMostRemovedKept)
      result_.newState.removed.erase(result_.newState.removed.begin(),
                                     result_.newState.removed.end() - kMostRemovedKept);
    return std::move(result_);
  }

  CardText CardTextOf(const PersonWork& work) {
    // The state keeps the server's text: the one sent, else the one fetched, else the old one.
    auto sent = sentCards_.find(work.entry.url);
    if (sent != sentCards_.end()) return sent->second;
    auto fetched = cards_.find(work.entry.url);
    if (fetched != cards_.end() && fetched->second.fetched && work.card) return work.card->text;
    return work.entry.card;
  }

  void FinishGroups(SyncState& state) {
    for (GroupWork& group : groups_) {
      bool live = group.local >= 0;
      if (live && group.known && !group.onServer && !group.restored && !GroupChangedSinceSync(group)) {
        BookChange change;
        change.kind = BookChange::Kind::kRemoveGroup;
        change.slot = snapshot_.groups[group.local].slot;
        change.key = snapshot_.groups[group.local].name;
        result_.changes.push_back(change);
        continue;
      }
      if (!live && !group.onServer) continue;
      if (group.name.empty()) continue;
      if (live) {
        const SnapshotGroup& local = snapshot_.groups[group.local];
        std::vector<std::string> localMembers = LocalMembers(local);
        if (group.name != local.name || group.memo != local.memo || !SameMembers(group.members, localMembers, true)) {
          BookChange change;
          change.kind = BookChange::Kind::kUpdateGroup;
          change.slot = local.slot;
          change.key = local.name;
          change.groupName = group.name;
          change.groupMemo = group.memo;
          change.members = group.members;
          result_.changes.push_back(change);
        }
      } else if (!group.known || group.serverChanged || group.entry.form == GroupForm::kCategories) {
        if (!GroupNameFits(group.name, page_)) continue;
        if (group.known && group.entry.form == GroupForm::kCategories && SameMembers(group.members, group.entry.members, false))
          continue;  // deleted here, unchanged there: its name leaves the cards
        BookChange change;
        change.kind = BookChange::Kind::kAddGroup;
        change.key = group.name;
        change.groupName = group.name;
        change.groupMemo = group.memo;
        change.members = group.members;
        result_.changes.push_back(change);
      } else {
        continue;
      }
      SyncedEntry entry = group.entry;
      entry.isGroup = true;
      entry.key = group.name;
      entry.memo = group.memo;
      entry.members = group.members;
      if (group.card) {
        bool sent = false;
        auto sentCard = sentCards_.find(group.entry.url);
        if (sentCard != sentCards_.end()) entry.card = sentCard->second, sent = true;
        if (!sent && cards_.count(group.entry.url) && cards_[group.entry.url].fetched) entry.card = group.card->text;
      }
      if (live) entry.slot = snapshot_.groups[group.local].slot, entry.runId = snapshot_.runId;
      state.entries.push_back(std::move(entry));
    }
  }

  bool GroupChangedSinceSync(const GroupWork& group) const {
    const SnapshotGroup& local = snapshot_.groups[group.local];
    return local.name != group.entry.key || local.memo != group.entry.memo ||
           !SameIds(LocalIds(local), BaseIds(group), true);
  }

  static constexpr size_t kMultigetBatch = 50;
  static constexpr size_t kMostRemovedKept = 1000;

  DavTransport& transport_;
  const BookSnapshot& snapshot_;
  const SyncAccount& account_;
  const std::atomic<bool>& cancel_;
  const SyncProgress& progress_;
  SyncJournal* journal_;
  const CodePage& page_;
  SyncState start_;
  std::vector<SyncedEntry> sentEntries_;  // every card put this round, as the state must know it
  std::unordered_map<std::string, size_t> sentAt_;
  std::set<std::string> deletedHere_;      // cards this round deleted on the server
  std::vector<SyncedEntry> newlyRemoved_;
  SyncResult result_;
  std::map<std::string, std::string> listed_;  // URL -> ETag the listing named
  std::set<std::string> removedOnServer_;
  bool listedFully_ = false;
  std::string newToken_;
  bool holdToken_ = false;
  std::map<std::string, ServerCard> cards_;
  std::set<std::string> leftOut_;
  std::set<std::string> sentUrls_;
  std::unordered_map<std::string, CardText> sentCards_;  // URL -> the text last sent
  std::unordered_map<std::string, size_t> stateUrls_;  // URL -> index into start_.entries
  std::unordered_map<std::string, int> taken_;         // folded descriptions the book will hold
  std::unordered_map<std::string, size_t> byDescription_;  // folded final description -> person
  std::unordered_multimap<std::string, size_t> byUid_;     // UID -> person
  std::unordered_map<std::string, std::string> renamed_;   // snapshot description -> final one
  std::unordered_map<std::string, size_t> byBaseKey_;      // folded key at the last sync -> person
  std::unordered_map<std::string, size_t> byLocal_;        // folded snapshot description -> person
  std::set<std::string> restoredUrls_;
  std::vector<PersonWork> persons_;
  std::vector<GroupWork> groups_;
  uint32_t done_ = 0, total_ = 0;
};

}  // namespace

SyncResult RunSyncRound(DavTransport& transport, const BookSnapshot& snapshot, const SyncAccount& account,
                        SyncState state, const std::atomic<bool>& cancel, const SyncProgress& progress,
                        SyncJournal* journal, const CodePage& page) {
  Round round(transport, snapshot, account, std::move(state), cancel, progress, journal, page);
  return round.Run();
}
