#include "sync/sync_settings.h"

std::string SyncSettingsPath(const std::string& personPath) {
  size_t slash = personPath.find_last_of("\\/");
  std::string folder = slash == std::string::npos ? std::string() : personPath.substr(0, slash + 1);
  return folder + "sync.ini";
}

std::string CredentialTarget(const std::string& bookUrl) { return "kalbook:" + bookUrl; }
