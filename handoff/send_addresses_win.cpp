// Hand-off to the host: writes the address files and announces each with "WM_SENDADDR".
// A file that cannot be created in the root of drive C goes to the user's temporary folder instead.
#include <windows.h>

#include <new>
#include <string>
#include <vector>

#include "app/shell_state.h"
#include "handoff/address_file_places.h"
#include "handoff/address_packing.h"
#include "win/ansi_path_win.h"
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

// Creates or replaces the file and writes bytes (the text and its zero) at its start.
bool WriteAddressFile(const std::string& path, const std::string& bytes) {
  OwnedFile out(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!out.valid()) return false;
  DWORD size = static_cast<DWORD>(bytes.size());
  DWORD written = 0;
  SetFilePointer(out.get(), 0, nullptr, FILE_BEGIN);
  return WriteFile(out.get(), bytes.data(), size, &written, nullptr) && written == size;
}

// Asked in Unicode: the folder of a user whose name the ANSI code page cannot hold is then
// still found, by its short form.
std::string TemporaryFolder() {
  wchar_t folder[MAX_PATH + 1] = L"";
  DWORD length = GetTempPathW(MAX_PATH + 1, folder);
  return length > 0 && length <= MAX_PATH ? AnsiPathOf(std::wstring(folder, length)) : std::string();
}

// The host reads the name back through the atom; the atom is never deleted here, it must
// outlive this program. A name the atom table refuses is announced as a failed file; when even
// that is refused there is nothing the host could read, and nothing is posted.
void AnnounceAddressFile(const AddressFile& file, const std::string& tempFolder,
                         UINT sendAddressMessage) {
  AddressAnnouncement placed =
      FitAnnouncementToAtom(PlaceAddressFile(file, tempFolder, WriteAddressFile), file.name, ShortAnsiPath);
  ATOM atom = GlobalAddAtomA(placed.name.c_str());
  if (!atom && placed.name != file.name) {
    placed = {file.name, 0};
    atom = GlobalAddAtomA(placed.name.c_str());
  }
  if (atom && IsWindow(g_shell.HostWindow))
    PostMessageA(g_shell.HostWindow, sendAddressMessage, static_cast<WPARAM>(atom),
                 static_cast<LPARAM>(placed.length));
}

}  // namespace

void SendAddressesToHost(HWND recipientBox) {
  try {
    std::vector<AddressFile> files = PackAddresses(g_shell.store, RecipientsOf(recipientBox));
    if (files.empty()) return;
    UINT sendAddressMessage = RegisterWindowMessageA("WM_SENDADDR");
    std::string tempFolder = TemporaryFolder();
    for (const AddressFile& file : files) AnnounceAddressFile(file, tempFolder, sendAddressMessage);
  } catch (const std::bad_alloc&) {
    // no room to gather the addresses: nothing is written or posted
  }
}
