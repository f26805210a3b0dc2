#include "sync/sync_settings_win.h"

#include <windows.h>
#include <wincred.h>

#include <vector>

#include "app/shell_state.h"

namespace {

const char kSection[] = "Sync";

std::string Path() { return SyncSettingsPath(g_shell.store.personPath); }

std::string ReadKey(const char* key, const char* fallback) {
  std::vector<char> text(4096);
  GetPrivateProfileStringA(kSection, key, fallback, text.data(), static_cast<DWORD>(text.size()), Path().c_str());
  return text.data();
}

std::string SystemReason(DWORD error) {
  char text[256] = {};
  if (!FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                      sizeof(text), nullptr))
    wsprintfA(text, "error %lu", error);
  return text;
}

}  // namespace

SyncSettings ReadSyncSettings() {
  SyncSettings account;
  account.server = ReadKey("server", "");
  account.user = ReadKey("user", "");
  account.book = ReadKey("book", "");
  account.automatic = ReadKey("auto", "1") != "0";
  std::string groups = ReadKey("groups", "");
  account.groups = groups == "1" ? 1 : groups == "0" ? 0 : -1;
  return account;
}

bool WriteSyncSettings(const SyncSettings& account) {
  std::string path = Path();
  bool written = true;
  auto write = [&](const char* key, const std::string& value) {
    written = WritePrivateProfileStringA(kSection, key, value.c_str(), path.c_str()) && written;
  };
  write("server", account.server);
  write("user", account.user);
  write("book", account.book);
  write("auto", account.automatic ? "1" : "0");
  if (account.groups >= 0) write("groups", account.groups == 1 ? "1" : "0");
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());  // flushes the cached file
  return written;
}

std::string ReadSyncPassword(const std::string& bookUrl) {
  PCREDENTIALA credential = nullptr;
  if (bookUrl.empty() || !CredReadA(CredentialTarget(bookUrl).c_str(), CRED_TYPE_GENERIC, 0, &credential))
    return {};
  std::string password(reinterpret_cast<const char*>(credential->CredentialBlob), credential->CredentialBlobSize);
  SecureZeroMemory(credential->CredentialBlob, credential->CredentialBlobSize);
  CredFree(credential);
  return password;
}

bool StoreSyncPassword(const std::string& bookUrl, const std::string& user, const std::string& password,
                       std::string& reason) {
  std::string target = CredentialTarget(bookUrl);
  std::vector<char> userName(user.begin(), user.end());
  userName.push_back('\0');
  std::vector<BYTE> blob(password.begin(), password.end());
  CREDENTIALA credential = {};
  credential.Type = CRED_TYPE_GENERIC;
  credential.TargetName = target.data();
  credential.CredentialBlobSize = static_cast<DWORD>(blob.size());
  credential.CredentialBlob = blob.empty() ? nullptr : blob.data();
  credential.Persist = CRED_PERSIST_LOCAL_MACHINE;
  credential.UserName = userName.data();
  bool stored = CredWriteA(&credential, 0);
  if (!stored) reason = SystemReason(GetLastError());
  SecureZeroMemory(blob.data(), blob.size());
  return stored;
}
