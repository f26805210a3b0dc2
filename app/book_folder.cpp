#include "app/book_folder.h"

namespace {

constexpr size_t kPathBufferSize = 260;
const char kPersonFile[] = "personal.inf";
const char kGroupFile[] = "group.inf";

std::string PathIn(const std::string& folder, const char* name) {
  if (!folder.empty() && folder.back() == '\\') return folder + name;
  return folder + "\\" + name;
}

}  // namespace

std::string FolderOfDataPath(const std::string& path) {
  size_t slash = path.find_last_of('\\');
  if (slash == std::string::npos) return std::string();
  std::string folder = path.substr(0, slash);
  // A drive's root is reported with its backslash, so its data paths carry two.
  if (!folder.empty() && folder.back() == '\\') return folder;
  if (folder.size() == 2 && folder[1] == ':') return folder + "\\";
  return folder;
}

BookFolderChoice ChooseBookFolder(BookFolderPlaces& places, const std::string& personPath,
                                  const std::string& groupPath) {
  BookFolderChoice choice;
  choice.personPath = personPath;
  choice.groupPath = groupPath;
  if (places.FileExists(personPath) || places.FileExists(groupPath)) return choice;
  std::string current = FolderOfDataPath(personPath);
  if (places.TakesNewFiles(current)) return choice;
  std::string user = places.UserBookFolder();
  if (user.empty()) return choice;
  std::string userPerson = PathIn(user, kPersonFile);
  std::string userGroup = PathIn(user, kGroupFile);
  if (userPerson.size() >= kPathBufferSize || userGroup.size() >= kPathBufferSize) return choice;
  choice.moved = true;
  choice.tell = !places.FileExists(userPerson);
  choice.refusedFolder = current;
  choice.personPath = userPerson;
  choice.groupPath = userGroup;
  return choice;
}
