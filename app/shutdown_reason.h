// The reason the system shows while the program holds up the end of the log-on. The calls exist
// only from Windows Vista on, so they are looked up at run time.
#pragma once

#include <windows.h>

#include <string>

class ShutdownBlockReason {
 public:
  // Gives the system the reason (ANSI text) for as long as this object lives.
  ShutdownBlockReason(HWND window, const std::string& reason);
  ~ShutdownBlockReason();
  ShutdownBlockReason(const ShutdownBlockReason&) = delete;
  ShutdownBlockReason& operator=(const ShutdownBlockReason&) = delete;

 private:
  HWND window_;
  bool given_ = false;
};
