#include "app/book_folder_win.h"

#include <windows.h>

#include <string>

#include "app/message_text.h"
#include "app/shell_state.h"
#include "app/text_message.h"
#include "win/ansi_path_win.h"

namespace {

constexpr UINT kMsgBookFolder = 193;
constexpr UINT kNoteBookFolder = 2112;
const char kUserBookFolder[] = "\\kalbook";
constexpr int kProbeNames = 16;

class PlatformBookFolderPlaces : public BookFolderPlaces {
 public:
  FileCheck CheckFile(const std::string& path) override {
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES)
      return attributes & FILE_ATTRIBUTE_DIRECTORY ? FileCheck::kMissing : FileCheck::kExists;
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FileCheck::kMissing : FileCheck::kFailed;
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
  std::string UserBookFolder(bool make) override {
    std::string appData = UserAppDataFolder();
    if (appData.empty()) return std::string();
    std::string folder = appData + kUserBookFolder;
    if (!make) {
      DWORD attributes = GetFileAttributesA(folder.c_str());
      return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) ? folder : std::string();
    }
    if (!CreateDirectoryA(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return std::string();
    return folder;
  }

  // Compared in their long forms: either may come in its short form.
  bool IsProgramFolder(const std::string& folder) override {
    char module[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, module, sizeof module);
    if (length == 0 || length >= sizeof module) return false;
    std::string program = FolderOfDataPath(module);
    return !program.empty() && lstrcmpiA(LongForm(program).c_str(), LongForm(folder).c_str()) == 0;
  }

 private:
  static std::string LongForm(const std::string& path) {
    char full[MAX_PATH];
    DWORD length = GetLongPathNameA(path.c_str(), full, sizeof full);
    std::string form = length > 0 && length < sizeof full ? std::string(full, length) : path;
    while (form.size() > 3 && form.back() == '\\') form.pop_back();
    return form;
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

std::string BookFolderNote(const BookFolderChoice& choice) {
  if (!choice.moved) return std::string();
  return FillPlaceholders(LoadLongString(kNoteBookFolder), {FolderOfDataPath(choice.personPath)});
}

void TellBookFolder(const BookFolderChoice& choice) {
  if (!choice.tell) return;
  ShowTextMessage(nullptr, kMsgBookFolder, {choice.refusedFolder, FolderOfDataPath(choice.personPath)},
                  MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
}
