// DavTransport over WinHTTP: the system's proxy settings, certificates checked by the system,
// Basic (or Digest) authentication, 30-second time-outs, answers up to 64 MB. Send runs on the
// network thread; Cancel may come from any thread and makes a waiting Send return at once.
//
// WinHTTP runs in its asynchronous mode: Send waits for each step's completion or the cancel
// event. Closing a request handle does not break off a call that waits on the socket (Wine 8
// neither in synchronous nor in asynchronous mode; the call ends at its time-out), so a cancelled
// Send leaves the request to WinHTTP and returns; what WinHTTP still writes to lives in a
// WinHttpCall it frees when it closes the handle.
#pragma once

#include <windows.h>
#include <winhttp.h>

#include <atomic>
#include <string>

#include "sync/dav_exchange.h"
#include "sync/sync_engine.h"  // kMostAnswerBytes, kAnswerTooLarge: the core asks a smaller batch


struct WinHttpCall;  // one request's share with WinHTTP's callbacks

class WinHttpTransport : public DavTransport {
 public:
  WinHttpTransport(const std::string& user, const std::string& password);
  ~WinHttpTransport() override;
  WinHttpTransport(const WinHttpTransport&) = delete;
  WinHttpTransport& operator=(const WinHttpTransport&) = delete;

  DavAnswer Send(const DavRequest& request) override;
  // Ends the request under way and every later one (they answer cancelled).
  void Cancel();

 private:
  bool Open(HINTERNET& connection, HINTERNET& request, const DavRequest& source, DavAnswer& answer);
  DWORD Exchange(HINTERNET request, WinHttpCall& call, const DavRequest& source, DavAnswer& answer);
  DWORD SendAndReceive(HINTERNET request, WinHttpCall& call);
  DWORD ReadBody(HINTERNET request, WinHttpCall& call, std::string& received, bool& tooLarge);
  DWORD Await(WinHttpCall& call, BOOL started);  // the error of one asynchronous step

  HINTERNET session_ = nullptr;
  std::wstring user_, password_;
  DWORD scheme_ = 0;  // the scheme the server asked for, sent at once from then on
  HANDLE cancelEvent_ = nullptr;  // set by Cancel: manual reset
  std::atomic<bool> cancelled_{false};
};

// The reason of a failed request in words, from its WinHTTP error and certificate flags.
std::string TransportFailureText(DWORD error, DWORD certificateFlags);
