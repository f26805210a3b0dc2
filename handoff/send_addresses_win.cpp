// Hand-off to the host: writes the address files and announces each with "WM_SENDADDR".
#include <windows.h>

#include <new>
#include <vector>

#include "app/shell_state.h"
#include "handoff/address_packing.h"
#include "win/gdi_owners_win.h"
#include "handoff/recipient_box.h"

namespace {

std::vector<ItemRef> RecipientsOf(HWND recipientBox) {
  HWND list = GetDlgItem(recipientBox, kRecipientListId);
  LRESULT count = list ? SendMessageA(list, LB_GETCOUNT, 0, 0) : 0;
  std::vector<ItemRef> recipients;
  for (int i = 0; i < count; ++i)
    recipients.push_back(static_cast<ItemRef>(SendMessageA(list, LB_GETITEMDATA, i, 0)));
  return recipients;
}

// Writes the text and its terminating zero, replacing an existing file. Returns the length
// the host is told: the text's length, or 0 when the file holds no readable text.
LPARAM WriteAddressFile(const AddressFile& file) {
  OwnedFile out(CreateFileA(file.name.c_str(), GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!out.valid()) return 0;
  DWORD size = static_cast<DWORD>(file.text.size() + 1);
  DWORD written = 0;
  SetFilePointer(out.get(), 0, nullptr, FILE_BEGIN);
  if (!WriteFile(out.get(), file.text.c_str(), size, &written, nullptr) || written != size) return 0;
  return static_cast<LPARAM>(file.text.size());
}

// The host reads the name back through the atom; the atom is never deleted here, it must
// outlive this program.
void AnnounceAddressFile(const AddressFile& file, UINT sendAddressMessage) {
  LPARAM length = WriteAddressFile(file);
  ATOM atom = GlobalAddAtomA(file.name.c_str());
  if (IsWindow(g_shell.HostWindow))
    PostMessageA(g_shell.HostWindow, sendAddressMessage, static_cast<WPARAM>(atom), length);
}

}  // namespace

void SendAddressesToHost(HWND recipientBox) {
  try {
    std::vector<AddressFile> files = PackAddresses(g_shell.store, RecipientsOf(recipientBox));
    if (files.empty()) return;
    UINT sendAddressMessage = RegisterWindowMessageA("WM_SENDADDR");
    for (const AddressFile& file : files) AnnounceAddressFile(file, sendAddressMessage);
  } catch (const std::bad_alloc&) {
    // no room to gather the addresses: nothing is written or posted
  }
}
