#include "app/book_folder_win.h"

#include <windows.h>

#include <string>

#include "app/shell_state.h"
#include "app/text_message.h"
#include "win/ansi_path_win.h"

namespace {

constexpr UINT kMsgBookFolder = 193;
const char kUserBookFolder[] = "\\kalbook";
constexpr int kProbeNames = 16;

class PlatformBookFolderPlaces : public BookFolderPlaces {
 public:
  bool FileExists(const std::string& path) override {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  }

  // A file of a name nobody else uses, gone again when its handle closes.
  bool TakesNewFiles(const std::string& folder) override {
    std::string prefix = folder.empty() || folder.back() != '\\' ? folder + "\\" : folder;
    DWORD seed = GetTickCount() ^ (GetCurrentProcessId() << 16);
    for (int attempt = 0; attempt < kProbeNames; ++attempt) {
      char name[16];
      wsprintfA(name, "kb%08lX.tmp", static_cast<unsigned long>(seed + attempt));
      HANDLE file = CreateFileA((prefix + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
      if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return true;
      }
      if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) return false;
    }
    return false;
  }

  // Asked in wide characters: a user name the code page cannot hold still gives a real folder.
  std::string UserBookFolder() override {
    std::string appData = UserAppDataFolder();
    if (appData.empty()) return std::string();
    std::string folder = appData + kUserBookFolder;
    if (!CreateDirectoryA(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return std::string();
    return folder;
  }
};

}  // namespace

BookFolderChoice KeepBookWhereItCanBeWritten() {
  PlatformBookFolderPlaces places;
  AddressStore& store = g_shell.store;
  BookFolderChoice choice = ChooseBookFolder(places, store.personPath, store.groupPath);
  store.personPath = choice.personPath;
  store.groupPath = choice.groupPath;
  // The file choosers of import and export start in the book's folder, as they would have.
  if (choice.moved) SetCurrentDirectoryA(FolderOfDataPath(choice.personPath).c_str());
  return choice;
}

void TellBookFolder(const BookFolderChoice& choice) {
  if (!choice.tell) return;
  ShowTextMessage(nullptr, kMsgBookFolder, {choice.refusedFolder, FolderOfDataPath(choice.personPath)},
                  MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
}
