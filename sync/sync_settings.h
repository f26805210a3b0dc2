// The book's sync account, kept in "sync.ini" beside the data files (section "Sync"); the
// password only in the Windows credential store, under "kalbook:" + the address book's URL.
#pragma once

#include <string>

struct SyncSettings {
  std::string server;       // as typed; empty: sync is off
  std::string user;
  std::string book;         // the address book's URL
  bool automatic = true;    // "auto"
  int groups = -1;          // 0 categories, 1 group cards, -1 not set: as the address book keeps them
  bool IsSet() const { return !server.empty() && !book.empty(); }
};

// "sync.ini" in the folder of the person data file.
std::string SyncSettingsPath(const std::string& personPath);

// The target of the book's password in the credential store.
std::string CredentialTarget(const std::string& bookUrl);
