// Finding the address books of an account from the address the user typed: the address itself when
// it is an address book; else the server's /.well-known/carddav, its current-user-principal, the
// principal's addressbook-home-set and the address books that home holds.
#pragma once

#include <string>
#include <vector>

#include "sync/dav_exchange.h"

struct FoundAddressBook {
  std::string url;          // absolute
  std::string displayName;  // the server's displayname, else the last part of the URL
};

struct Discovery {
  std::vector<FoundAddressBook> books;  // in the server's order
  bool unauthorized = false;            // a 401 on the way: the user name or the password
  bool cancelled = false;
  int httpStatus = 0;                   // the step that failed, 0 when none answered
  std::string failure;                  // empty when the way led to books; else what stopped it
  std::string failedUrl;                // the URL of that step
};

// Asks at most a few requests; follows redirects of the server (at most five per step).
Discovery DiscoverAddressBooks(DavTransport& transport, const std::string& typedAddress);
