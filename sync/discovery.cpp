#include "sync/discovery.h"

#include <optional>

#include "sync/dav_url.h"

namespace {

constexpr int kMostRedirects = 5;

const char kPropfindBody[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<d:propfind xmlns:d=\"DAV:\" xmlns:card=\"urn:ietf:params:xml:ns:carddav\"><d:prop>"
    "<d:resourcetype/><d:displayname/><d:current-user-principal/><card:addressbook-home-set/>"
    "</d:prop></d:propfind>\n";

struct Step {
  DavAnswer answer;
  std::string url;  // where the answer came from, after redirects
};

bool IsRedirect(int status) { return status == 301 || status == 302 || status == 307 || status == 308; }

Step Propfind(DavTransport& transport, const std::string& url, int depth) {
  Step step;
  step.url = url;
  for (int redirects = 0;; ++redirects) {
    DavRequest request;
    request.kind = DavRequest::Kind::Propfind;
    request.url = step.url;
    request.depth = depth;
    request.body = kPropfindBody;
    step.answer = transport.Send(request);
    if (!IsRedirect(step.answer.httpStatus) || step.answer.location.empty() || redirects == kMostRedirects)
      return step;
    std::optional<DavUrl> base = ParseDavUrl(step.url);
    if (!base) return step;
    step.url = ResolveDavHref(*base, step.answer.location);
  }
}

// The response that describes the asked URL itself; the first one when none names it.
const DavResponse* SelfOf(const Step& step) {
  if (!step.answer.multistatus || step.answer.responses.empty()) return nullptr;
  for (const DavResponse& response : step.answer.responses)
    if (SameDavPath(response.href, step.url)) return &response;
  return &step.answer.responses.front();
}

bool Answered(const Step& step) { return step.answer.httpStatus == 207 && step.answer.multistatus; }

std::string LastPart(const std::string& url) {
  std::string path = url;
  while (!path.empty() && path.back() == '/') path.pop_back();
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

FoundAddressBook BookOf(const DavResponse& response) {
  FoundAddressBook book{response.href, response.displayName};
  if (book.displayName.empty()) book.displayName = LastPart(response.href);
  return book;
}

// Notes why the step gave nothing; true when it stopped the way for good (401, cancel).
bool NoteFailure(Discovery& result, const Step& step) {
  result.httpStatus = step.answer.httpStatus;
  result.failedUrl = step.url;
  result.cancelled = step.answer.cancelled;
  result.unauthorized = step.answer.httpStatus == 401;
  if (step.answer.httpStatus == 0) result.failure = step.answer.failure;
  else if (step.answer.httpStatus == 207) result.failure = step.answer.failure.empty() ? "no address book found" : step.answer.failure;
  else result.failure = "HTTP " + std::to_string(step.answer.httpStatus);
  return result.cancelled || result.unauthorized;
}

// The address books a home holds, by a Depth 1 PROPFIND.
bool ListHome(DavTransport& transport, const std::string& home, Discovery& result) {
  Step step = Propfind(transport, home, 1);
  if (!Answered(step)) return NoteFailure(result, step), false;
  for (const DavResponse& response : step.answer.responses)
    if (response.isAddressBook) result.books.push_back(BookOf(response));
  if (result.books.empty()) return NoteFailure(result, step), false;
  result.failure.clear();
  return true;
}

// From a principal (or anything that names its home) to the books of the home.
bool FromPrincipal(DavTransport& transport, const std::string& principal, Discovery& result) {
  Step step = Propfind(transport, principal, 0);
  const DavResponse* self = Answered(step) ? SelfOf(step) : nullptr;
  if (!self || self->addressbookHomeSet.empty()) return NoteFailure(result, step), false;
  return ListHome(transport, self->addressbookHomeSet, result);
}

// What one answered Depth 0 PROPFIND points to: the book itself, its home, or its principal.
enum class Lead { Stop, Done, None };

Lead Follow(DavTransport& transport, const Step& step, Discovery& result) {
  const DavResponse* self = SelfOf(step);
  if (!self) return Lead::None;
  if (self->isAddressBook) {
    result.books.push_back(BookOf(*self));
    result.failure.clear();
    return Lead::Done;
  }
  if (!self->addressbookHomeSet.empty())
    return ListHome(transport, self->addressbookHomeSet, result) ? Lead::Done : Lead::None;
  if (!self->currentUserPrincipal.empty())
    return FromPrincipal(transport, self->currentUserPrincipal, result) ? Lead::Done : Lead::None;
  return Lead::None;
}

bool Ends(const Discovery& result) { return result.cancelled || result.unauthorized || !result.books.empty(); }

}  // namespace

Discovery DiscoverAddressBooks(DavTransport& transport, const std::string& typedAddress) {
  Discovery result;
  std::optional<DavUrl> typed = ServerAddressFromTyped(typedAddress);
  if (!typed) {
    result.failure = "not a server address";
    result.failedUrl = typedAddress;
    return result;
  }
  std::string typedUrl = DavUrlText(*typed);
  Step first = Propfind(transport, typedUrl, 0);
  if (!Answered(first)) {
    if (NoteFailure(result, first) || first.answer.httpStatus == 0) return result;
  } else if (Follow(transport, first, result) == Lead::Done || Ends(result)) {
    return result;
  }
  Step known = Propfind(transport, DavServerAddress(*typed) + "/.well-known/carddav", 0);
  Discovery firstFailure = result;
  if (Answered(known)) {
    if (Follow(transport, known, result) == Lead::Done || Ends(result)) return result;
  } else if (NoteFailure(result, known)) {
    return result;
  }
  // A server without the well-known address: what the typed address answered tells more.
  if (!firstFailure.failure.empty() && (known.answer.httpStatus == 404 || known.answer.httpStatus == 405))
    result = firstFailure;
  // A home typed as the address: its books, if it has any.
  if (Answered(first) && SelfOf(first)->isCollection) ListHome(transport, first.url, result);
  if (result.books.empty() && result.failure.empty()) result.failure = "no address book found";
  return result;
}
