// DavTransport over WinHTTP: the system's proxy settings, certificates checked by the system,
// Basic (or Digest) authentication, 30-second time-outs, answers up to 64 MB. Send runs on the
// network thread; Cancel may come from any thread.
#pragma once

#include <windows.h>
#include <winhttp.h>

#include <atomic>
#include <string>

#include "sync/dav_exchange.h"
#include "sync/sync_engine.h"  // kMostAnswerBytes, kAnswerTooLarge: the core asks a smaller batch


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
  DWORD Exchange(HINTERNET request, const DavRequest& source, DavAnswer& answer);  // the error of the send
  bool Register(HINTERNET request);
  void Unregister(HINTERNET request);

  HINTERNET session_ = nullptr;
  std::wstring user_, password_;
  DWORD scheme_ = 0;  // the scheme the server asked for, sent at once from then on
  CRITICAL_SECTION lock_;
  HINTERNET current_ = nullptr;  // the request under way, closed by Cancel
  std::atomic<bool> cancelled_{false};
};

// The reason of a failed request in words, from its WinHTTP error and certificate flags.
std::string TransportFailureText(DWORD error, DWORD certificateFlags);
