#include "sync/dav_transport_win.h"

#include <optional>
#include <vector>

#include "app/text_message.h"
#include "sync/dav_url.h"
#include "sync/multistatus_reader_win.h"
#include "sync/sync_texts.h"

namespace {

class LockHold {
 public:
  explicit LockHold(CRITICAL_SECTION& lock) : lock_(lock) { EnterCriticalSection(&lock_); }
  ~LockHold() { LeaveCriticalSection(&lock_); }
  LockHold(const LockHold&) = delete;
  LockHold& operator=(const LockHold&) = delete;

 private:
  CRITICAL_SECTION& lock_;
};

constexpr DWORD kTimeoutMs = 30000;

std::wstring Wide(const std::string& text) {
  if (text.empty()) return {};
  int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(size, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
  return out;
}

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(size, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
  return out;
}

// The text of one response header, empty when absent.
std::string Header(HINTERNET request, DWORD which) {
  DWORD size = 0;
  WinHttpQueryHeaders(request, which, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER, &size, WINHTTP_NO_HEADER_INDEX);
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0) return {};
  std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
  if (!WinHttpQueryHeaders(request, which, WINHTTP_HEADER_NAME_BY_INDEX, text.data(), &size, WINHTTP_NO_HEADER_INDEX))
    return {};
  text.resize(size / sizeof(wchar_t));
  return Utf8(text);
}

int StatusCode(HINTERNET request) {
  DWORD status = 0, size = sizeof(status);
  WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER, WINHTTP_HEADER_NAME_BY_INDEX,
                      &status, &size, WINHTTP_NO_HEADER_INDEX);
  return static_cast<int>(status);
}

const wchar_t* VerbOf(DavRequest::Kind kind) {
  switch (kind) {
    case DavRequest::Kind::Propfind: return L"PROPFIND";
    case DavRequest::Kind::Report: return L"REPORT";
    case DavRequest::Kind::Get: return L"GET";
    case DavRequest::Kind::Put: return L"PUT";
    case DavRequest::Kind::Delete: return L"DELETE";
  }
  return L"GET";
}

std::wstring HeadersOf(const DavRequest& request) {
  std::wstring headers;
  if (request.depth >= 0) headers += L"Depth: " + std::to_wstring(request.depth) + L"\r\n";
  if (!request.ifMatch.empty()) headers += L"If-Match: " + Wide(request.ifMatch) + L"\r\n";
  if (request.ifNoneMatchAny) headers += L"If-None-Match: *\r\n";
  if (request.kind == DavRequest::Kind::Put) headers += L"Content-Type: text/vcard; charset=utf-8\r\n";
  else if (!request.body.empty()) headers += L"Content-Type: application/xml; charset=utf-8\r\n";
  return headers;
}

// Collects the certificate's faults the system names while the connection is refused.
void CALLBACK OnStatus(HINTERNET, DWORD_PTR context, DWORD status, LPVOID information, DWORD length) {
  if (status != WINHTTP_CALLBACK_STATUS_SECURE_FAILURE || !context || !information || length < sizeof(DWORD)) return;
  *reinterpret_cast<DWORD*>(context) |= *static_cast<DWORD*>(information);
}

// Digest where the server offers it, else Basic; 0 for neither.
DWORD ChosenScheme(HINTERNET request) {
  DWORD supported = 0, first = 0, target = 0;
  if (!WinHttpQueryAuthSchemes(request, &supported, &first, &target)) return 0;
  if (supported & WINHTTP_AUTH_SCHEME_DIGEST) return WINHTTP_AUTH_SCHEME_DIGEST;
  if (supported & WINHTTP_AUTH_SCHEME_BASIC) return WINHTTP_AUTH_SCHEME_BASIC;
  return 0;
}

HINTERNET OpenSession() {
  WINHTTP_CURRENT_USER_IE_PROXY_CONFIG proxy = {};
  bool manual = WinHttpGetIEProxyConfigForCurrentUser(&proxy) && proxy.lpszProxy;
  HINTERNET session = manual ? WinHttpOpen(L"kalbook", WINHTTP_ACCESS_TYPE_NAMED_PROXY, proxy.lpszProxy,
                                           proxy.lpszProxyBypass ? proxy.lpszProxyBypass : L"<local>", 0)
                             : WinHttpOpen(L"kalbook", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                           WINHTTP_NO_PROXY_BYPASS, 0);
  for (LPWSTR text : {proxy.lpszAutoConfigUrl, proxy.lpszProxy, proxy.lpszProxyBypass})
    if (text) GlobalFree(text);
  if (session) WinHttpSetTimeouts(session, kTimeoutMs, kTimeoutMs, kTimeoutMs, kTimeoutMs);
  return session;
}

}  // namespace

std::string TransportFailureText(DWORD error, DWORD flags) {
  switch (error) {
    case ERROR_WINHTTP_SECURE_FAILURE:
      if (flags & WINHTTP_CALLBACK_STATUS_FLAG_INVALID_CA) return SyncText(kTextCertificateUntrusted);
      if (flags & WINHTTP_CALLBACK_STATUS_FLAG_CERT_DATE_INVALID) return SyncText(kTextCertificateExpired);
      if (flags & WINHTTP_CALLBACK_STATUS_FLAG_CERT_CN_INVALID) return SyncText(kTextCertificateOtherName);
      if (flags & WINHTTP_CALLBACK_STATUS_FLAG_CERT_REVOKED) return SyncText(kTextCertificateRevoked);
      return SyncText(kTextCertificateInvalid);
    // Some systems name the fault by its own error in place of the flags.
    case ERROR_WINHTTP_SECURE_INVALID_CA: return SyncText(kTextCertificateUntrusted);
    case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID: return SyncText(kTextCertificateExpired);
    case ERROR_WINHTTP_SECURE_CERT_CN_INVALID: return SyncText(kTextCertificateOtherName);
    case ERROR_WINHTTP_SECURE_CERT_REVOKED: return SyncText(kTextCertificateRevoked);
    case ERROR_WINHTTP_SECURE_INVALID_CERT:
    case ERROR_WINHTTP_SECURE_CERT_WRONG_USAGE:
    case ERROR_WINHTTP_SECURE_CERT_REV_FAILED: return SyncText(kTextCertificateInvalid);
    case ERROR_WINHTTP_SECURE_CHANNEL_ERROR: return SyncText(kTextSecureChannel);
    case ERROR_WINHTTP_CANNOT_CONNECT:
    case ERROR_WINHTTP_CONNECTION_ERROR:
    case WSAECONNRESET: return SyncText(kTextCannotConnect);
    case ERROR_WINHTTP_NAME_NOT_RESOLVED: return SyncText(kTextUnknownName);
    case ERROR_WINHTTP_TIMEOUT: return SyncText(kTextTimeout);
  }
  return "WinHTTP " + std::to_string(error);
}

WinHttpTransport::WinHttpTransport(const std::string& user, const std::string& password)
    : session_(OpenSession()), user_(Wide(user)), password_(Wide(password)) {
  InitializeCriticalSection(&lock_);
}

WinHttpTransport::~WinHttpTransport() {
  SecureZeroMemory(password_.data(), password_.size() * sizeof(wchar_t));
  if (session_) WinHttpCloseHandle(session_);
  DeleteCriticalSection(&lock_);
}

void WinHttpTransport::Cancel() {
  LockHold hold(lock_);
  cancelled_ = true;
  if (current_) WinHttpCloseHandle(current_);  // a waiting call returns at once
  current_ = nullptr;
}

bool WinHttpTransport::Register(HINTERNET request) {
  LockHold hold(lock_);
  if (cancelled_) return false;
  current_ = request;
  return true;
}

// Closes the request unless Cancel did.
void WinHttpTransport::Unregister(HINTERNET request) {
  LockHold hold(lock_);
  if (current_ == request) WinHttpCloseHandle(request);
  current_ = nullptr;
}

bool WinHttpTransport::Open(HINTERNET& connection, HINTERNET& request, const DavRequest& source, DavAnswer& answer) {
  std::optional<DavUrl> url = ParseDavUrl(source.url);
  if (!url) {
    answer.failure = "not an http(s) address: " + source.url;
    return false;
  }
  connection = WinHttpConnect(session_, Wide(url->host).c_str(), static_cast<INTERNET_PORT>(url->port), 0);
  if (connection)
    request = WinHttpOpenRequest(connection, VerbOf(source.kind), Wide(url->path).c_str(), nullptr,
                                 WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, url->https ? WINHTTP_FLAG_SECURE : 0);
  if (!request) {
    answer.failure = TransportFailureText(GetLastError(), 0);
    return false;
  }
  DWORD noRedirects = WINHTTP_DISABLE_REDIRECTS;  // the core follows moves itself
  WinHttpSetOption(request, WINHTTP_OPTION_DISABLE_FEATURE, &noRedirects, sizeof(noRedirects));
  return true;
}

// A connection the server closed while it waited in the pool fails at once: such a request is
// made once more, on a new connection.
bool ClosedWhileIdle(DWORD error) { return error == WSAECONNRESET || error == ERROR_WINHTTP_CONNECTION_ERROR; }

DavAnswer WinHttpTransport::Send(const DavRequest& source) {
  DavAnswer answer;
  for (int attempt = 0; attempt < 2; ++attempt) {
    answer = DavAnswer();
    HINTERNET connection = nullptr, request = nullptr;
    DWORD error = 0;
    if (!session_) {
      answer.failure = TransportFailureText(GetLastError(), 0);
    } else if (Open(connection, request, source, answer)) {
      if (Register(request)) error = Exchange(request, source, answer);
      Unregister(request);
    }
    if (connection) WinHttpCloseHandle(connection);
    if (cancelled_ || answer.httpStatus != 0 || !ClosedWhileIdle(error)) break;
  }
  if (cancelled_) {
    answer = DavAnswer();
    answer.cancelled = true;
    answer.failure = "cancelled";
  }
  return answer;
}

DWORD WinHttpTransport::Exchange(HINTERNET request, const DavRequest& source, DavAnswer& answer) {
  DWORD certificateFlags = 0;
  DWORD_PTR context = reinterpret_cast<DWORD_PTR>(&certificateFlags);
  WinHttpSetOption(request, WINHTTP_OPTION_CONTEXT_VALUE, &context, sizeof(context));
  WinHttpSetStatusCallback(request, OnStatus, WINHTTP_CALLBACK_FLAG_SECURE_FAILURE, 0);
  std::wstring headers = HeadersOf(source);
  LPVOID body = source.body.empty() ? WINHTTP_NO_REQUEST_DATA : const_cast<char*>(source.body.data());
  DWORD bodySize = static_cast<DWORD>(source.body.size());
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (scheme_ && !user_.empty())
      WinHttpSetCredentials(request, WINHTTP_AUTH_TARGET_SERVER, scheme_, user_.c_str(), password_.c_str(), nullptr);
    if (!WinHttpSendRequest(request, headers.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : headers.c_str(),
                            static_cast<DWORD>(-1L), body, bodySize, bodySize, 0) ||
        !WinHttpReceiveResponse(request, nullptr)) {
      DWORD error = GetLastError();
      answer.failure = TransportFailureText(error, certificateFlags);
      return error;
    }
    answer.httpStatus = StatusCode(request);
    if (answer.httpStatus != 401 || user_.empty() || attempt == 1) break;
    DWORD asked = ChosenScheme(request);
    if (!asked || (asked == scheme_ && attempt == 0 && scheme_ != 0)) break;  // refused what was sent
    scheme_ = asked;
  }
  answer.etag = Header(request, WINHTTP_QUERY_ETAG);
  std::string location = Header(request, WINHTTP_QUERY_LOCATION);
  if (!location.empty()) answer.location = ResolveDavHref(*ParseDavUrl(source.url), location);
  std::string received;
  for (;;) {
    DWORD available = 0;
    if (!WinHttpQueryDataAvailable(request, &available)) {
      answer.httpStatus = 0;
      answer.failure = TransportFailureText(GetLastError(), certificateFlags);
      return 0;
    }
    if (available == 0) break;
    if (received.size() + available > kMostAnswerBytes) {  // the server answered: its status stays
      answer.failure = kAnswerTooLarge;  // the core knows it by this text
      return 0;
    }
    size_t at = received.size();
    received.resize(at + available);
    DWORD read = 0;
    if (!WinHttpReadData(request, received.data() + at, available, &read)) {
      answer.httpStatus = 0;
      answer.failure = TransportFailureText(GetLastError(), certificateFlags);
      return 0;
    }
    received.resize(at + read);
  }
  if (answer.httpStatus == 207) ReadMultistatus(received, *ParseDavUrl(source.url), answer);
  else answer.body = std::move(received);
  return 0;
}
