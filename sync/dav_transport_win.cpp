#include "sync/dav_transport_win.h"

#include <wincrypt.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "app/text_message.h"
#include "sync/dav_url.h"
#include "sync/multistatus_reader_win.h"
#include "sync/sync_texts.h"

namespace {

constexpr DWORD kTimeoutMs = 30000;
constexpr DWORD kReadChunk = 64 * 1024;
constexpr DWORD kNotifications =
    WINHTTP_CALLBACK_FLAG_ALL_COMPLETIONS | WINHTTP_CALLBACK_FLAG_SECURE_FAILURE | WINHTTP_CALLBACK_FLAG_HANDLES;

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

// The header of Basic authentication. Sent by us with every request once the server asked for
// Basic: given the credentials, Wine's WinHTTP sends each request bare first and repeats it after
// the 401 on its own, which doubles the requests and, over TLS, now and then ends in the 401.
std::wstring BasicAuthorization(const std::wstring& user, const std::wstring& password) {
  std::string plain = Utf8(user + L":" + password);
  const BYTE* bytes = reinterpret_cast<const BYTE*>(plain.data());
  const DWORD flags = CRYPT_STRING_BASE64 | CRYPT_STRING_NOCRLF;
  DWORD size = 0;
  std::wstring encoded;
  if (CryptBinaryToStringW(bytes, static_cast<DWORD>(plain.size()), flags, nullptr, &size) && size > 0) {
    encoded.resize(size);
    if (!CryptBinaryToStringW(bytes, static_cast<DWORD>(plain.size()), flags, encoded.data(), &size)) size = 0;
    encoded.resize(size);
  }
  SecureZeroMemory(plain.data(), plain.size());
  std::wstring header = L"Authorization: Basic " + encoded;
  SecureZeroMemory(encoded.data(), encoded.size() * sizeof(wchar_t));
  return header;
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

}  // namespace

// What WinHTTP's callbacks of one request write to. A cancelled Send returns while WinHTTP may
// still complete a step (Wine ends a waiting one only at its time-out), so the headers, the body
// sent and the read buffer live here, and the last of Send and the handle's closing frees it.
struct WinHttpCall {
  std::atomic<LONG> references{1};
  HANDLE completed = CreateEventA(nullptr, FALSE, FALSE, nullptr);  // one step done
  std::atomic<DWORD> certificateFlags{0};
  DWORD error = 0;  // of the step that completed
  DWORD value = 0;  // bytes available, or read
  std::wstring headers;
  std::string body;
  std::vector<char> chunk = std::vector<char>(kReadChunk);

  WinHttpCall() = default;
  WinHttpCall(const WinHttpCall&) = delete;
  WinHttpCall& operator=(const WinHttpCall&) = delete;
  ~WinHttpCall() {
    if (completed) CloseHandle(completed);
  }
  void Release() {
    if (--references == 0) delete this;
  }
  void Complete(DWORD stepError, DWORD stepValue) {
    error = stepError;
    value = stepValue;
    SetEvent(completed);
  }
};

namespace {

void CALLBACK OnStatus(HINTERNET, DWORD_PTR context, DWORD status, LPVOID information, DWORD length) {
  auto* call = reinterpret_cast<WinHttpCall*>(context);
  if (!call) return;
  switch (status) {
    case WINHTTP_CALLBACK_STATUS_SECURE_FAILURE:
      if (information && length >= sizeof(DWORD)) call->certificateFlags |= *static_cast<DWORD*>(information);
      return;
    case WINHTTP_CALLBACK_STATUS_SENDREQUEST_COMPLETE:
    case WINHTTP_CALLBACK_STATUS_HEADERS_AVAILABLE: call->Complete(0, 0); return;
    case WINHTTP_CALLBACK_STATUS_DATA_AVAILABLE: call->Complete(0, information ? *static_cast<DWORD*>(information) : 0); return;
    case WINHTTP_CALLBACK_STATUS_READ_COMPLETE: call->Complete(0, length); return;
    case WINHTTP_CALLBACK_STATUS_REQUEST_ERROR: {
      DWORD error = information ? static_cast<WINHTTP_ASYNC_RESULT*>(information)->dwError : 0;
      call->Complete(error ? error : ERROR_WINHTTP_INTERNAL_ERROR, 0);
      return;
    }
    case WINHTTP_CALLBACK_STATUS_HANDLE_CLOSING: call->Release(); return;
  }
}

// A call the request's callbacks report to; WinHTTP holds a reference until the handle closes.
WinHttpCall* AttachCall(HINTERNET request) {
  auto* call = new WinHttpCall;
  DWORD_PTR context = reinterpret_cast<DWORD_PTR>(call);
  if (!call->completed || !WinHttpSetOption(request, WINHTTP_OPTION_CONTEXT_VALUE, &context, sizeof(context)) ||
      WinHttpSetStatusCallback(request, OnStatus, kNotifications, 0) == WINHTTP_INVALID_STATUS_CALLBACK) {
    delete call;  // no callback will come
    return nullptr;
  }
  call->references = 2;
  return call;
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
                                           proxy.lpszProxyBypass ? proxy.lpszProxyBypass : L"<local>", WINHTTP_FLAG_ASYNC)
                             : WinHttpOpen(L"kalbook", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                           WINHTTP_NO_PROXY_BYPASS, WINHTTP_FLAG_ASYNC);
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
    case ERROR_WINHTTP_TIMEOUT:
    case WSAETIMEDOUT: return SyncText(kTextTimeout);  // Wine names a time-out by the socket's error
  }
  return "WinHTTP " + std::to_string(error);
}

WinHttpTransport::WinHttpTransport(const std::string& user, const std::string& password)
    : session_(OpenSession()), user_(Wide(user)), password_(Wide(password)),
      cancelEvent_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

WinHttpTransport::~WinHttpTransport() {
  SecureZeroMemory(password_.data(), password_.size() * sizeof(wchar_t));
  if (session_) WinHttpCloseHandle(session_);
  if (cancelEvent_) CloseHandle(cancelEvent_);
}

void WinHttpTransport::Cancel() {
  cancelled_ = true;
  if (cancelEvent_) SetEvent(cancelEvent_);  // a waiting Send returns at once
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
  // The wait for the answer's headers has a time-out of its own, which Wine leaves endless.
  DWORD timeout = kTimeoutMs;
  WinHttpSetOption(request, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &timeout, sizeof(timeout));
  return true;
}

// A connection the server closed while it waited in the pool fails at once: such a request is
// made once more, on a new connection.
bool ClosedWhileIdle(DWORD error) { return error == WSAECONNRESET || error == ERROR_WINHTTP_CONNECTION_ERROR; }

DavAnswer WinHttpTransport::Send(const DavRequest& source) {
  DavAnswer answer;
  for (int attempt = 0; attempt < 2 && !cancelled_; ++attempt) {
    answer = DavAnswer();
    HINTERNET connection = nullptr, request = nullptr;
    DWORD error = 0;
    if (!session_ || !cancelEvent_) {
      answer.failure = TransportFailureText(GetLastError(), 0);
    } else if (Open(connection, request, source, answer)) {
      if (WinHttpCall* call = AttachCall(request)) {
        error = Exchange(request, *call, source, answer);
        WinHttpCloseHandle(request);
        call->Release();
      } else {
        answer.failure = TransportFailureText(GetLastError(), 0);
        WinHttpCloseHandle(request);
      }
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

// Waits for the step an asynchronous call started, or for Cancel.
DWORD WinHttpTransport::Await(WinHttpCall& call, BOOL started) {
  if (!started) {
    DWORD error = GetLastError();
    return error ? error : ERROR_WINHTTP_INTERNAL_ERROR;
  }
  HANDLE events[] = {call.completed, cancelEvent_};
  if (WaitForMultipleObjects(2, events, FALSE, INFINITE) != WAIT_OBJECT_0) return ERROR_WINHTTP_OPERATION_CANCELLED;
  return call.error;
}

DWORD WinHttpTransport::SendAndReceive(HINTERNET request, WinHttpCall& call) {
  if (cancelled_) return ERROR_WINHTTP_OPERATION_CANCELLED;
  LPVOID body = call.body.empty() ? WINHTTP_NO_REQUEST_DATA : call.body.data();
  DWORD bodySize = static_cast<DWORD>(call.body.size());
  const wchar_t* headers = call.headers.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : call.headers.c_str();
  DWORD_PTR context = reinterpret_cast<DWORD_PTR>(&call);
  if (DWORD error = Await(call, WinHttpSendRequest(request, headers, static_cast<DWORD>(-1L), body, bodySize,
                                                   bodySize, context)))
    return error;
  return Await(call, WinHttpReceiveResponse(request, nullptr));
}

// The body as it comes; an answer over the limit stops at the limit (tooLarge).
DWORD WinHttpTransport::ReadBody(HINTERNET request, WinHttpCall& call, std::string& received, bool& tooLarge) {
  for (;;) {
    if (DWORD error = Await(call, WinHttpQueryDataAvailable(request, nullptr))) return error;
    DWORD available = call.value;
    if (available == 0) return 0;
    if (received.size() + available > kMostAnswerBytes) {
      tooLarge = true;
      return 0;
    }
    DWORD wanted = std::min<DWORD>(available, static_cast<DWORD>(call.chunk.size()));
    if (DWORD error = Await(call, WinHttpReadData(request, call.chunk.data(), wanted, nullptr))) return error;
    if (call.value == 0) return 0;
    received.append(call.chunk.data(), std::min<DWORD>(call.value, wanted));
  }
}

DWORD WinHttpTransport::Exchange(HINTERNET request, WinHttpCall& call, const DavRequest& source, DavAnswer& answer) {
  call.headers = HeadersOf(source);
  call.body = source.body;
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (scheme_ == WINHTTP_AUTH_SCHEME_BASIC && !user_.empty()) {
      std::wstring authorization = BasicAuthorization(user_, password_);
      WinHttpAddRequestHeaders(request, authorization.c_str(), static_cast<DWORD>(-1L),
                               WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE);
      SecureZeroMemory(authorization.data(), authorization.size() * sizeof(wchar_t));
    } else if (scheme_ && !user_.empty()) {
      WinHttpSetCredentials(request, WINHTTP_AUTH_TARGET_SERVER, scheme_, user_.c_str(), password_.c_str(), nullptr);
    }
    if (DWORD error = SendAndReceive(request, call)) {
      answer.failure = TransportFailureText(error, call.certificateFlags);
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
  bool tooLarge = false;
  if (DWORD error = ReadBody(request, call, received, tooLarge)) {
    answer.httpStatus = 0;
    answer.failure = TransportFailureText(error, call.certificateFlags);
    return 0;
  }
  if (tooLarge) {  // the server answered: its status stays
    answer.failure = kAnswerTooLarge;  // the core knows it by this text
    return 0;
  }
  if (answer.httpStatus == 207) ReadMultistatus(received, *ParseDavUrl(source.url), answer);
  else answer.body = std::move(received);
  return 0;
}
