#include "app/single_copy.h"

namespace {

// "Local\" keeps the name in this log-on session, so that users who share a machine each get
// their own address book.
const char kSingleCopyName[] = "Local\\ZuAddressBook.SingleCopy";

}  // namespace

SingleCopyLock::SingleCopyLock() {
  mutex_ = CreateMutexA(nullptr, FALSE, kSingleCopyName);
  DWORD error = GetLastError();
  // A mutex made by another user's copy cannot be opened at all; either way it is held.
  heldElsewhere_ = error == ERROR_ALREADY_EXISTS || (!mutex_ && error == ERROR_ACCESS_DENIED);
}

SingleCopyLock::~SingleCopyLock() {
  if (mutex_) CloseHandle(mutex_);
}
