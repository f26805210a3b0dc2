// One request of a sync as the sync core asks for it, and its answer as the shell hands it back.
// The shell sends the request over HTTP and reads a multistatus body with the system's XML
// reader; the core decides what to ask and what the answers mean. Texts are UTF-8.
#pragma once

#include <string>
#include <vector>

struct DavRequest {
  enum class Kind { Propfind, Report, Get, Put, Delete };
  Kind kind = Kind::Propfind;
  std::string url;             // absolute
  std::string body;            // XML for Propfind and Report, the card for Put
  int depth = -1;              // the Depth header: -1 none, else 0 or 1
  std::string ifMatch;         // an ETag for If-Match, empty for none
  bool ifNoneMatchAny = false; // If-None-Match: *
};

// One <response> of a multistatus, with the properties the sync reads from its 200 propstat.
struct DavResponse {
  std::string href;            // absolute, resolved against the request's URL
  int status = 0;              // the response's own status line, else its first propstat's
  std::string etag;
  std::string addressData;     // CARDDAV address-data: the card's text
  std::string displayName;
  bool isAddressBook = false;  // resourcetype holds CARDDAV addressbook
  bool isCollection = false;   // resourcetype holds DAV collection
  std::string currentUserPrincipal;  // absolute href
  std::string addressbookHomeSet;    // absolute href
  std::vector<std::string> supportedReports;  // local names, e.g. "sync-collection"
};

struct DavAnswer {
  int httpStatus = 0;          // 0 when no answer came (no connection, DNS, time-out, TLS, cancel)
  std::string failure;         // the system's reason when httpStatus is 0, or a bad body's
  bool cancelled = false;
  std::string etag;            // the ETag header
  std::string location;        // the Location header, absolute
  std::string body;            // the body of a Get
  bool multistatus = false;    // the body was a well-formed multistatus, read into responses
  std::vector<DavResponse> responses;
  std::string syncToken;       // the multistatus's own sync-token
};

// Sends requests one at a time; the shell's is WinHTTP, the tests' an in-memory server.
class DavTransport {
 public:
  virtual ~DavTransport() = default;
  virtual DavAnswer Send(const DavRequest& request) = 0;
};
