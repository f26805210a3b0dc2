#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "sync/dav_url.h"
#include "sync/discovery.h"

TEST(SyncDavUrl, PartsDefaultsAndText) {
  auto url = ParseDavUrl("HTTPS://Dav.Example:8443/a/b?x=1#frag");
  ASSERT_TRUE(url);
  EXPECT_TRUE(url->https);
  EXPECT_EQ(url->host, "Dav.Example");
  EXPECT_EQ(url->port, 8443);
  EXPECT_EQ(url->path, "/a/b?x=1");
  EXPECT_EQ(ParseDavUrl("http://h")->path, "/");
  EXPECT_EQ(ParseDavUrl("http://h")->port, 80);
  EXPECT_EQ(ParseDavUrl("http://[::1]:5232/x/")->host, "::1");
  EXPECT_EQ(DavUrlText(*ParseDavUrl("http://[::1]:5232/x/")), "http://[::1]:5232/x/");
  EXPECT_EQ(DavUrlText(*ParseDavUrl("https://h:443/p")), "https://h/p");
  EXPECT_EQ(DavServerAddress(*ParseDavUrl("http://h:81/p")), "http://h:81");
  for (const char* bad : {"ftp://h/", "h/path", "http://", "http://:80/", "http://h:0/", "http://h:99999/",
                          "http://h:8a/", "http://[::1/"})
    EXPECT_FALSE(ParseDavUrl(bad)) << bad;
}

TEST(SyncDavUrl, TypedAddressesAndHrefs) {
  EXPECT_EQ(DavUrlText(*ServerAddressFromTyped("  dav.example/card ")), "https://dav.example/card");
  EXPECT_EQ(DavUrlText(*ServerAddressFromTyped("http://127.0.0.1:5232")), "http://127.0.0.1:5232/");
  EXPECT_FALSE(ServerAddressFromTyped("   "));
  DavUrl base = *ParseDavUrl("http://h:1/a/b/c.vcf");
  EXPECT_EQ(ResolveDavHref(base, "/x/y/"), "http://h:1/x/y/");
  EXPECT_EQ(ResolveDavHref(base, "d.vcf"), "http://h:1/a/b/d.vcf");
  EXPECT_EQ(ResolveDavHref(base, " https://o/z "), "https://o/z");
  EXPECT_EQ(ResolveDavHref(base, "//o:2/z"), "http://o:2/z");
  EXPECT_TRUE(SameDavPath("http://h/a%40b/", "/a@b"));
  EXPECT_FALSE(SameDavPath("/a/", "/a/b"));
}

TEST(SyncDavUrl, LoopbackIsThisMachineOnly) {
  for (const char* host : {"127.0.0.1", "127.255.0.9", "::1", "LocalHost"}) EXPECT_TRUE(IsLoopbackHost(host)) << host;
  for (const char* host : {"127.evil.example", "128.0.0.1", "127.0.0", "127.0.0.256", "localhost.example", "10.0.0.1", ""})
    EXPECT_FALSE(IsLoopbackHost(host)) << host;
}

namespace {

// A server in memory: each URL answers a Depth 0 or Depth 1 PROPFIND with the responses it holds.
class FakeServer : public DavTransport {
 public:
  std::map<std::string, std::vector<DavResponse>> depth0, depth1;
  std::map<std::string, std::string> redirects;
  std::map<std::string, int> statuses;  // a plain status instead of a multistatus
  std::vector<std::string> asked;

  DavAnswer Send(const DavRequest& request) override {
    asked.push_back(request.url + " " + std::to_string(request.depth));
    DavAnswer answer;
    EXPECT_EQ(request.kind, DavRequest::Kind::Propfind);
    EXPECT_NE(request.body.find("addressbook-home-set"), std::string::npos);
    if (statuses.count(request.url)) {
      answer.httpStatus = statuses[request.url];
      return answer;
    }
    if (redirects.count(request.url)) {
      answer.httpStatus = 301;
      answer.location = redirects[request.url];
      return answer;
    }
    auto& table = request.depth == 1 ? depth1 : depth0;
    if (!table.count(request.url)) {
      answer.httpStatus = 404;
      return answer;
    }
    answer.httpStatus = 207;
    answer.multistatus = true;
    answer.responses = table[request.url];
    return answer;
  }
};

DavResponse Collection(const std::string& href, bool book = false, const std::string& name = "") {
  DavResponse response;
  response.href = href;
  response.status = 200;
  response.isCollection = true;
  response.isAddressBook = book;
  response.displayName = name;
  return response;
}

}  // namespace

TEST(SyncDiscovery, TheTypedAddressIsAnAddressBook) {
  FakeServer server;
  server.depth0["http://h/u/book/"] = {Collection("http://h/u/book/", true, "Friends")};
  Discovery found = DiscoverAddressBooks(server, "http://h/u/book/");
  ASSERT_EQ(found.books.size(), 1u);
  EXPECT_EQ(found.books[0].url, "http://h/u/book/");
  EXPECT_EQ(found.books[0].displayName, "Friends");
  EXPECT_TRUE(found.failure.empty());
  EXPECT_EQ(server.asked.size(), 1u);
}

TEST(SyncDiscovery, WellKnownPrincipalHomeAndItsBooks) {
  FakeServer server;
  DavResponse root = Collection("http://h/");
  server.depth0["http://h/"] = {root};
  server.redirects["http://h/.well-known/carddav"] = "/dav/";
  DavResponse context = Collection("http://h/dav/");
  context.currentUserPrincipal = "http://h/dav/ann/";
  server.depth0["http://h/dav/"] = {context};
  DavResponse principal = Collection("http://h/dav/ann/");
  principal.addressbookHomeSet = "http://h/dav/ann/books/";
  server.depth0["http://h/dav/ann/"] = {principal};
  server.depth1["http://h/dav/ann/books/"] = {Collection("http://h/dav/ann/books/"),
                                              Collection("http://h/dav/ann/books/work/", true, "Work"),
                                              Collection("http://h/dav/ann/books/cal/", false, "Calendar"),
                                              Collection("http://h/dav/ann/books/home/", true)};
  Discovery found = DiscoverAddressBooks(server, "http://h");
  ASSERT_EQ(found.books.size(), 2u) << found.failure;
  EXPECT_EQ(found.books[0].displayName, "Work");
  EXPECT_EQ(found.books[1].url, "http://h/dav/ann/books/home/");
  EXPECT_EQ(found.books[1].displayName, "home");  // no displayname: the last part of the URL
}

TEST(SyncDiscovery, APrincipalTypedLeadsToItsHome) {
  FakeServer server;
  DavResponse principal = Collection("http://h/p/");
  principal.addressbookHomeSet = "http://h/home/";
  server.depth0["http://h/p/"] = {principal};
  server.depth1["http://h/home/"] = {Collection("http://h/home/a/", true, "A")};
  Discovery found = DiscoverAddressBooks(server, "http://h/p/");
  ASSERT_EQ(found.books.size(), 1u);
  EXPECT_EQ(found.books[0].displayName, "A");
}

TEST(SyncDiscovery, AHomeTypedWithoutWellKnownListsItsBooks) {
  FakeServer server;
  server.depth0["http://h/home/"] = {Collection("http://h/home/")};
  server.depth1["http://h/home/"] = {Collection("http://h/home/"), Collection("http://h/home/a/", true, "A")};
  Discovery found = DiscoverAddressBooks(server, "http://h/home/");
  ASSERT_EQ(found.books.size(), 1u) << found.failure;
}

TEST(SyncDiscovery, RefusalsAndNothingFound) {
  FakeServer server;
  server.statuses["http://h/"] = 401;
  Discovery refused = DiscoverAddressBooks(server, "http://h/");
  EXPECT_TRUE(refused.unauthorized);
  EXPECT_TRUE(refused.books.empty());
  EXPECT_EQ(refused.httpStatus, 401);

  FakeServer empty;
  empty.depth0["http://h/x/"] = {Collection("http://h/x/")};
  Discovery none = DiscoverAddressBooks(empty, "http://h/x/");
  EXPECT_TRUE(none.books.empty());
  EXPECT_FALSE(none.failure.empty());
  EXPECT_LE(empty.asked.size(), 4u);

  Discovery bad = DiscoverAddressBooks(empty, "ftp://h/");
  EXPECT_FALSE(bad.failure.empty());
}

TEST(SyncDiscovery, RedirectsEndAfterAFew) {
  FakeServer server;
  server.statuses["http://h/"] = 404;
  server.redirects["http://h/.well-known/carddav"] = "/.well-known/carddav";  // to itself
  Discovery found = DiscoverAddressBooks(server, "http://h/");
  EXPECT_TRUE(found.books.empty());
  EXPECT_LE(server.asked.size(), 8u);
}

TEST(SyncDiscovery, NoAnswerAtAllStopsAtOnce) {
  struct Silent : DavTransport {
    int calls = 0;
    DavAnswer Send(const DavRequest&) override {
      ++calls;
      DavAnswer answer;
      answer.failure = "cannot connect";
      return answer;
    }
  } silent;
  Discovery found = DiscoverAddressBooks(silent, "http://h/");
  EXPECT_EQ(found.failure, "cannot connect");
  EXPECT_EQ(silent.calls, 1);
}

TEST(SyncDiscovery, ABadBodyIsToldOverAMissingWellKnown) {
  struct BadBody : DavTransport {
    DavAnswer Send(const DavRequest& request) override {
      DavAnswer answer;
      answer.httpStatus = request.url.find("well-known") != std::string::npos ? 404 : 207;
      if (answer.httpStatus == 207) answer.failure = "the answer is not well-formed XML";
      return answer;
    }
  } server;
  Discovery found = DiscoverAddressBooks(server, "http://h/book/");
  EXPECT_TRUE(found.books.empty());
  EXPECT_EQ(found.failure, "the answer is not well-formed XML");
  EXPECT_EQ(found.failedUrl, "http://h/book/");
}
