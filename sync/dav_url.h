// Server addresses as the sync reads them: parts of an http(s) URL, hrefs of a multistatus made
// absolute, and whether a host is this machine (where plain http needs no question).
#pragma once

#include <optional>
#include <string>

struct DavUrl {
  bool https = false;
  std::string host;      // without brackets for an IPv6 literal
  int port = 0;          // the scheme's default when the URL names none
  std::string path;      // from the first '/' on, query included; "/" at least
};

// An absolute http:// or https:// URL; none for anything else (no scheme, other scheme, no host,
// a bad port).
std::optional<DavUrl> ParseDavUrl(const std::string& url);

// The URL back as text: the port only where it is not the scheme's default.
std::string DavUrlText(const DavUrl& url);

// "scheme://host[:port]" of the URL: one server address, as the plain-http question names it.
std::string DavServerAddress(const DavUrl& url);

// An href of an answer made absolute against the URL of its request: absolute hrefs stay,
// "/path" takes the request's server, anything else is relative to the request's folder.
std::string ResolveDavHref(const DavUrl& base, const std::string& href);

// What the user typed into the server field made into a URL: "https://" is put before an address
// without a scheme. Blanks around it are dropped. None when it still is no URL.
std::optional<DavUrl> ServerAddressFromTyped(const std::string& typed);

// 127.0.0.0/8, ::1 and "localhost" (any letter case).
bool IsLoopbackHost(const std::string& host);

// Two hrefs name the same resource: equal after the server's part and a trailing '/' are put aside
// and %-escapes of unreserved characters are read.
bool SameDavPath(const std::string& a, const std::string& b);
