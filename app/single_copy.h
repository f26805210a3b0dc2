// One running copy of the address book per log-on session: a second copy on the same book would
// write its whole tables over the first one's changes.
#pragma once

#include <windows.h>

// Holds the session's named mutex from the first instant of the run to its end.
class SingleCopyLock {
 public:
  SingleCopyLock();
  ~SingleCopyLock();
  SingleCopyLock(const SingleCopyLock&) = delete;
  SingleCopyLock& operator=(const SingleCopyLock&) = delete;

  // True when another copy holds the lock or shows its main window.
  bool AnotherCopyRuns() const { return heldElsewhere_ || FindWindowA("ZuAddressBook", nullptr) != nullptr; }

 private:
  HANDLE mutex_ = nullptr;
  bool heldElsewhere_ = false;
};
