#include "sync/dav_url.h"

#include <algorithm>
#include <cctype>

namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string Trimmed(const std::string& text) {
  size_t begin = text.find_first_not_of(" \t\r\n");
  if (begin == std::string::npos) return {};
  size_t end = text.find_last_not_of(" \t\r\n");
  return text.substr(begin, end - begin + 1);
}

int DefaultPort(bool https) { return https ? 443 : 80; }

std::optional<int> ParsePort(const std::string& text) {
  if (text.empty() || text.size() > 5) return std::nullopt;
  int port = 0;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
    port = port * 10 + (c - '0');
  }
  if (port < 1 || port > 65535) return std::nullopt;
  return port;
}

// "host", "host:port", "[v6]" or "[v6]:port" into the URL.
bool ParseAuthority(const std::string& authority, DavUrl& url) {
  std::string hostPart = authority;
  size_t at = hostPart.rfind('@');
  if (at != std::string::npos) hostPart = hostPart.substr(at + 1);  // user info is not ours to send
  std::string portText;
  if (!hostPart.empty() && hostPart[0] == '[') {
    size_t close = hostPart.find(']');
    if (close == std::string::npos) return false;
    url.host = hostPart.substr(1, close - 1);
    std::string rest = hostPart.substr(close + 1);
    if (!rest.empty()) {
      if (rest[0] != ':') return false;
      portText = rest.substr(1);
    }
  } else {
    size_t colon = hostPart.find(':');
    url.host = hostPart.substr(0, colon);
    if (colon != std::string::npos) portText = hostPart.substr(colon + 1);
  }
  if (url.host.empty()) return false;
  if (portText.empty()) {
    url.port = DefaultPort(url.https);
    return true;
  }
  std::optional<int> port = ParsePort(portText);
  if (!port) return false;
  url.port = *port;
  return true;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// %XX of unreserved characters read, so "%40" and "@" compare alike where servers differ.
std::string UnescapedPath(const std::string& path) {
  std::string out;
  for (size_t i = 0; i < path.size(); ++i) {
    if (path[i] == '%' && i + 2 < path.size()) {
      int high = HexValue(path[i + 1]), low = HexValue(path[i + 2]);
      if (high >= 0 && low >= 0) {
        out += static_cast<char>(high * 16 + low);
        i += 2;
        continue;
      }
    }
    out += path[i];
  }
  return out;
}

std::string PathOf(const std::string& href) {
  std::optional<DavUrl> url = ParseDavUrl(href);
  std::string path = url ? url->path : href;
  size_t query = path.find('?');
  if (query != std::string::npos) path.resize(query);
  path = UnescapedPath(path);
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

}  // namespace

std::optional<DavUrl> ParseDavUrl(const std::string& text) {
  DavUrl url;
  size_t schemeEnd = text.find("://");
  if (schemeEnd == std::string::npos) return std::nullopt;
  std::string scheme = Lower(text.substr(0, schemeEnd));
  if (scheme == "https") url.https = true;
  else if (scheme != "http") return std::nullopt;
  size_t authorityBegin = schemeEnd + 3;
  size_t pathBegin = text.find_first_of("/?#", authorityBegin);
  std::string authority = text.substr(authorityBegin, pathBegin - authorityBegin);
  if (!ParseAuthority(authority, url)) return std::nullopt;
  url.path = pathBegin == std::string::npos ? "/" : text.substr(pathBegin);
  size_t fragment = url.path.find('#');
  if (fragment != std::string::npos) url.path.resize(fragment);
  if (url.path.empty() || url.path[0] != '/') url.path = "/" + url.path;
  return url;
}

std::string DavServerAddress(const DavUrl& url) {
  std::string text = url.https ? "https://" : "http://";
  bool v6 = url.host.find(':') != std::string::npos;
  text += v6 ? "[" + url.host + "]" : url.host;
  if (url.port != DefaultPort(url.https)) text += ":" + std::to_string(url.port);
  return text;
}

std::string DavUrlText(const DavUrl& url) { return DavServerAddress(url) + url.path; }

std::string ResolveDavHref(const DavUrl& base, const std::string& rawHref) {
  std::string href = Trimmed(rawHref);
  if (ParseDavUrl(href)) return href;
  DavUrl resolved = base;
  if (href.empty()) return DavUrlText(resolved);
  if (href.rfind("//", 0) == 0) {
    std::optional<DavUrl> other = ParseDavUrl((base.https ? "https:" : "http:") + href);
    return other ? DavUrlText(*other) : DavUrlText(base);
  }
  if (href[0] == '/') {
    resolved.path = href;
  } else {
    std::string folder = base.path.substr(0, base.path.find('?'));
    folder.resize(folder.rfind('/') + 1);
    resolved.path = folder + href;
  }
  return DavUrlText(resolved);
}

std::optional<DavUrl> ServerAddressFromTyped(const std::string& typed) {
  std::string text = Trimmed(typed);
  if (text.empty()) return std::nullopt;
  if (text.find("://") == std::string::npos) text = "https://" + text;
  return ParseDavUrl(text);
}

bool IsLoopbackHost(const std::string& rawHost) {
  std::string host = Lower(rawHost);
  if (host == "localhost" || host == "::1" || host == "0:0:0:0:0:0:0:1") return true;
  if (host.rfind("127.", 0) != 0) return false;
  // A dotted IPv4 address of four numbers 0-255: "127.evil.example" is a name, not loopback.
  int parts = 0;
  size_t begin = 0;
  while (begin <= host.size()) {
    size_t end = host.find('.', begin);
    if (end == std::string::npos) end = host.size();
    std::string part = host.substr(begin, end - begin);
    if (part.empty() || part.size() > 3 ||
        !std::all_of(part.begin(), part.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }) ||
        std::stoi(part) > 255)
      return false;
    ++parts;
    begin = end + 1;
  }
  return parts == 4;
}

bool SameDavPath(const std::string& a, const std::string& b) { return PathOf(a) == PathOf(b); }
