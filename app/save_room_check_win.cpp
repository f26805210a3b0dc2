// The start-up's check that the book's folder leaves room for the names a save makes.
#include "app/book_files.h"
#include "app/shell_state.h"
#include "app/text_message.h"
#include "store/safe_write.h"

namespace {

enum : UINT { kMsgFolderTooLong = 153 };

}  // namespace

void CheckRoomForSaves() {
  AddressStore& store = g_shell.store;
  if (SaveNamesFit(store.personPath, MAX_PATH) && SaveNamesFit(store.groupPath, MAX_PATH)) return;
  // Both files, even when the shorter group file's names would fit: a book half kept would
  // name members its person file lacks.
  store.personFile.savesRefused = store.groupFile.savesRefused = true;
  ShowTextMessage(nullptr, kMsgFolderTooLong, {FolderOfDataFile(store.personPath)},
                  MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND);
}
