// An in-memory CardDAV address book for the sync tests: cards with ETags, sync-collection
// tokens with paging, addressbook-multiget, conditional PUT and DELETE, and faults to order.
#pragma once

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "sync/dav_exchange.h"
#include "sync/sync_engine.h"

class FakeCardDavServer : public DavTransport {
 public:
  static constexpr const char* kHost = "http://127.0.0.1:5232";
  static constexpr const char* kBook = "http://127.0.0.1:5232/user/book/";

  // Server-side edits, as "the phone" makes them.
  std::string Store(const std::string& name, const std::string& text) {
    std::string url = std::string(kBook) + name;
    Card& card = cards_[url];
    card.text = text;
    card.etag = "\"e" + std::to_string(++etagCounter_) + "\"";
    Log(url, false);
    return url;
  }
  void Remove(const std::string& url) {
    cards_.erase(url);
    Log(url, true);
  }
  bool Has(const std::string& url) const { return cards_.count(url) > 0; }
  const std::string& Text(const std::string& url) const { return cards_.at(url).text; }
  size_t CardCount() const { return cards_.size(); }
  std::vector<std::string> Urls() const {
    std::vector<std::string> urls;
    for (const auto& [url, card] : cards_) urls.push_back(url);
    return urls;
  }

  // Behaviour.
  bool supportsSyncCollection = true;
  bool refuseTokens = false;        // every non-empty token is answered 403 valid-sync-token
  size_t pageSize = 0;              // sync-collection answers at most this many (0: all), then 507
  size_t mostAnswerBytes = 0;       // a multiget answer larger than this is refused (0: none)
  int failRequest = -1;             // this request (0-based) gets no answer at all
  int dropAnswerOf = -1;            // this request is carried out, but its answer never comes
  int statusForAll = 0;             // failRequest answers this status instead of nothing
  bool omitEtagOnPut = false;
  std::string renameOnPut;          // a new card is stored under this name instead, with Location

  // What was asked.
  std::vector<DavRequest> requests;
  std::vector<size_t> multigetSizes;
  int Count(DavRequest::Kind kind) const {
    int n = 0;
    for (const DavRequest& r : requests) n += r.kind == kind;
    return n;
  }

  DavAnswer Send(const DavRequest& request) override {
    int index = static_cast<int>(requests.size());
    requests.push_back(request);
    if (failRequest >= 0 && (index == failRequest || (stayDown && index > failRequest))) {
      DavAnswer none;
      none.httpStatus = statusForAll;
      if (!statusForAll) none.failure = "The server did not answer.";
      return none;
    }
    DavAnswer answer = Handle(request);
    if (index == dropAnswerOf) {
      DavAnswer none;
      none.failure = "The connection was reset.";
      return none;
    }
    return answer;
  }
  bool stayDown = false;  // after failRequest, nothing answers

 private:
  struct Card {
    std::string text, etag;
  };
  struct Change {
    std::string url;
    bool removed;
  };

  void Log(const std::string& url, bool removed) { changes_.push_back(Change{url, removed}); }

  static std::string Token(size_t at) { return "http://radicale.org/ns/sync/" + std::to_string(at); }

  static std::vector<std::string> Between(const std::string& body, const std::string& open, const std::string& close) {
    std::vector<std::string> found;
    size_t at = 0;
    while ((at = body.find(open, at)) != std::string::npos) {
      at += open.size();
      size_t end = body.find(close, at);
      if (end == std::string::npos) break;
      found.push_back(body.substr(at, end - at));
      at = end;
    }
    return found;
  }

  static std::string Unxml(std::string text) {
    const std::pair<const char*, const char*> entities[] = {{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&amp;", "&"}};
    for (auto [from, to] : entities)
      for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += 1) text.replace(at, std::string(from).size(), to);
    return text;
  }

  DavAnswer Handle(const DavRequest& request) {
    switch (request.kind) {
      case DavRequest::Kind::Propfind: return Propfind(request);
      case DavRequest::Kind::Report:
        return request.body.find("sync-collection") != std::string::npos ? SyncCollection(request) : Multiget(request);
      case DavRequest::Kind::Get: return Get(request);
      case DavRequest::Kind::Put: return Put(request);
      case DavRequest::Kind::Delete: return Delete(request);
    }
    return DavAnswer{};
  }

  DavAnswer Multistatus() {
    DavAnswer answer;
    answer.httpStatus = 207;
    answer.multistatus = true;
    return answer;
  }

  DavAnswer Propfind(const DavRequest&) {
    DavAnswer answer = Multistatus();
    DavResponse book;
    book.href = kBook;
    book.status = 200;
    book.isCollection = book.isAddressBook = true;
    answer.responses.push_back(book);
    for (const auto& [url, card] : cards_) {
      DavResponse r;
      r.href = url;
      r.status = 200;
      r.etag = card.etag;
      answer.responses.push_back(r);
    }
    return answer;
  }

  DavAnswer SyncCollection(const DavRequest& request) {
    DavAnswer refused;
    refused.httpStatus = 403;
    if (!supportsSyncCollection) return refused;
    std::vector<std::string> tokens = Between(request.body, "<D:sync-token>", "</D:sync-token>");
    std::string token = tokens.empty() ? "" : Unxml(tokens.front());
    size_t from = 0;
    if (!token.empty()) {
      if (refuseTokens || token.rfind(Token(0).substr(0, Token(0).size() - 1), 0) != 0) return refused;
      from = std::stoul(token.substr(Token(0).size() - 1));
      if (from > changes_.size()) return refused;
    }
    // The latest change of each card since the token, in the order they happened.
    std::map<std::string, size_t> latest;
    for (size_t i = from; i < changes_.size(); ++i) latest[changes_[i].url] = i;
    std::vector<size_t> order;
    for (const auto& [url, i] : latest)
      if (token.empty() ? !changes_[i].removed && cards_.count(url) : true) order.push_back(i);
    std::sort(order.begin(), order.end());
    DavAnswer answer = Multistatus();
    size_t upTo = changes_.size();
    bool truncated = pageSize > 0 && order.size() > pageSize;
    if (truncated) {
      order.resize(pageSize);
      upTo = order.back() + 1;
    }
    for (size_t i : order) {
      DavResponse r;
      r.href = changes_[i].url;
      auto card = cards_.find(r.href);
      bool gone = changes_[i].removed || card == cards_.end();
      if (gone && token.empty()) continue;
      r.status = gone ? 404 : 200;
      if (!gone) r.etag = card->second.etag;
      answer.responses.push_back(r);
    }
    if (truncated) {
      DavResponse more;
      more.href = kBook;
      more.status = 507;
      answer.responses.push_back(more);
    }
    answer.syncToken = Token(upTo);
    return answer;
  }

  DavAnswer Multiget(const DavRequest& request) {
    std::vector<std::string> hrefs = Between(request.body, "<D:href>", "</D:href>");
    multigetSizes.push_back(hrefs.size());
    DavAnswer answer = Multistatus();
    size_t bytes = 0;
    for (const std::string& path : hrefs) {
      DavResponse r;
      r.href = kHost + Unxml(path);
      auto card = cards_.find(r.href);
      if (card == cards_.end()) {
        r.status = 404;
      } else {
        r.status = 200;
        r.etag = card->second.etag;
        r.addressData = card->second.text;
        bytes += r.addressData.size();
      }
      answer.responses.push_back(r);
    }
    if (mostAnswerBytes && bytes > mostAnswerBytes) {
      DavAnswer refused;
      refused.httpStatus = 207;
      refused.failure = kAnswerTooLarge;
      return refused;
    }
    return answer;
  }

  DavAnswer Get(const DavRequest& request) {
    DavAnswer answer;
    auto card = cards_.find(request.url);
    if (card == cards_.end()) {
      answer.httpStatus = 404;
      return answer;
    }
    answer.httpStatus = 200;
    answer.body = card->second.text;
    answer.etag = card->second.etag;
    return answer;
  }

  DavAnswer Put(const DavRequest& request) {
    DavAnswer answer;
    auto card = cards_.find(request.url);
    bool exists = card != cards_.end();
    if ((request.ifNoneMatchAny && exists) || (!request.ifMatch.empty() && (!exists || card->second.etag != request.ifMatch))) {
      answer.httpStatus = 412;
      return answer;
    }
    std::string url = request.url;
    if (!exists && !renameOnPut.empty()) {
      url = std::string(kBook) + renameOnPut;
      answer.location = url;
    }
    Store(url.substr(std::string(kBook).size()), request.body);
    answer.httpStatus = exists ? 204 : 201;
    if (!omitEtagOnPut) answer.etag = cards_[url].etag;
    return answer;
  }

  DavAnswer Delete(const DavRequest& request) {
    DavAnswer answer;
    auto card = cards_.find(request.url);
    if (card == cards_.end()) {
      answer.httpStatus = 404;
      return answer;
    }
    if (!request.ifMatch.empty() && card->second.etag != request.ifMatch) {
      answer.httpStatus = 412;
      return answer;
    }
    Remove(request.url);
    answer.httpStatus = 204;
    return answer;
  }

  std::map<std::string, Card> cards_;
  std::vector<Change> changes_;
  int etagCounter_ = 0;
};
