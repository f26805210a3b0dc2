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

namespace {

struct DataPaths {
  std::string person, group;
};

// The data paths in the user's folder, unless they would not fit the 260-byte buffers.
bool UserDataPaths(const std::string& user, DataPaths& paths) {
  if (user.empty()) return false;
  paths = {PathIn(user, kPersonFile), PathIn(user, kGroupFile)};
  return paths.person.size() < kPathBufferSize && paths.group.size() < kPathBufferSize;
}

void MoveTo(BookFolderChoice& choice, const DataPaths& paths, const std::string& current) {
  choice.moved = true;
  choice.refusedFolder = current;
  choice.personPath = paths.person;
  choice.groupPath = paths.group;
}

}  // namespace

BookFolderChoice ChooseBookFolder(BookFolderPlaces& places, const std::string& personPath,
                                  const std::string& groupPath) {
  BookFolderChoice choice;
  choice.personPath = personPath;
  choice.groupPath = groupPath;
  FileCheck person = places.CheckFile(personPath);
  FileCheck group = person == FileCheck::kMissing ? places.CheckFile(groupPath) : person;
  if (person != FileCheck::kMissing || group != FileCheck::kMissing) return choice;
  std::string current = FolderOfDataPath(personPath);
  DataPaths user;
  if (places.IsProgramFolder(current) && UserDataPaths(places.UserBookFolder(false), user) &&
      (places.CheckFile(user.person) == FileCheck::kExists || places.CheckFile(user.group) == FileCheck::kExists)) {
    MoveTo(choice, user, current);
    choice.followed = true;
    return choice;
  }
  if (places.TakesNewFiles(current)) return choice;
  if (!UserDataPaths(places.UserBookFolder(true), user)) return choice;
  MoveTo(choice, user, current);
  choice.tell = places.CheckFile(user.person) != FileCheck::kExists;
  return choice;
}
