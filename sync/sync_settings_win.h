// Reading and writing the account and its password (Win32: private profile, credential store).
#pragma once

#include <string>

#include "sync/sync_settings.h"

SyncSettings ReadSyncSettings();
// false when "sync.ini" could not be written.
bool WriteSyncSettings(const SyncSettings& account);

// The stored password of the address book; empty when none is stored.
std::string ReadSyncPassword(const std::string& bookUrl);
// false with the system's reason when the store refused it.
bool StoreSyncPassword(const std::string& bookUrl, const std::string& user, const std::string& password,
                       std::string& reason);
