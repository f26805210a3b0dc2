// "SYNCDLG": the book's sync account (server, user, password, address book, automatic sync,
// the form of new groups).
#pragma once

#include <windows.h>

#include <string>

enum class SyncDialogOutcome {
  kCancelled,
  kSaved,        // the account or its password changed, same address book
  kTurnedOff,    // OK with an empty server address: the state is kept
  kNewBook,      // another address book: its state is dropped, a first sync follows
};

// focusPassword: opened because the server refused the password.
SyncDialogOutcome RunSyncDialog(HWND owner, bool focusPassword);

// Asks once per server address (and run) whether a password may go over plain http to a server
// that is not this machine; true when it may (https, loopback, or Yes).
bool MaySendPasswordTo(HWND owner, const std::string& url);
