// Where Netscape Navigator recorded its address book: the current user's settings first, then
// the machine's default user.
#include "import/import_steps_win.h"

namespace {

constexpr char kBookKey[] = "Software\\Netscape\\Netscape Navigator\\Address Book";
constexpr char kDefaultUserBookKey[] = ".Default\\Software\\Netscape\\Netscape Navigator\\Address Book";
constexpr char kLocationValue[] = "File Location";

class OwnedKey {
 public:
  OwnedKey() = default;
  OwnedKey(const OwnedKey&) = delete;
  OwnedKey& operator=(const OwnedKey&) = delete;
  ~OwnedKey() {
    if (key_) RegCloseKey(key_);
  }
  bool Open(HKEY root, const char* subKey) {
    return RegOpenKeyExA(root, subKey, 0, KEY_READ, &key_) == ERROR_SUCCESS;
  }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

}  // namespace

bool ReadNetscapeBookLocation(PathBuffer& location) {
  OwnedKey key;
  if (!key.Open(HKEY_CURRENT_USER, kBookKey) && !key.Open(HKEY_USERS, kDefaultUserBookKey))
    return false;
  DWORD type = 0;
  DWORD size = kPathSize;
  ZeroMemory(location, kPathSize);
  if (RegQueryValueExA(key.get(), kLocationValue, nullptr, &type,
                       reinterpret_cast<BYTE*>(location), &size) != ERROR_SUCCESS ||
      type != REG_SZ) {
    location[0] = '\0';
    return false;
  }
  location[kPathSize - 1] = '\0';  // a stored value need not carry its terminating zero
  return location[0] != '\0';
}
