// Where the book is kept. Its folder is the current directory at start; started from a folder
// the user may not write (the program's own, under "Program Files"), with no book there yet, the
// book goes to the user's "kalbook" folder in the application-data folder instead, so that the
// first save does not fail. Once a book is kept there, a start from the program's own folder
// without a book opens it, even when that folder takes files by then (a copy unpacked on the
// Desktop, a run as administrator): the user's book is not left behind for an empty one.
#pragma once

#include <string>

// What the existence test of a data file found; only "not found" means there is no file.
enum class FileCheck { kExists, kMissing, kFailed };

// What the platform answers about folders and files.
class BookFolderPlaces {
 public:
  virtual ~BookFolderPlaces() = default;
  virtual FileCheck CheckFile(const std::string& path) = 0;
  // Whether a new file can be created in the folder (tried, and removed at once).
  virtual bool TakesNewFiles(const std::string& folder) = 0;
  // The user's book folder, made when missing if `make` says so; "" when there is none the
  // program can name (or, without `make`, none yet).
  virtual std::string UserBookFolder(bool make) = 0;
  // Whether the folder is the one kalbook.exe lies in.
  virtual bool IsProgramFolder(const std::string& folder) = 0;
};

struct BookFolderChoice {
  bool moved = false;          // the data paths now lead to the user's folder
  bool followed = false;       // ... because it holds the user's book (started from the program's folder)
  bool tell = false;           // ... which holds no person file yet: the user is told
  std::string refusedFolder;   // the folder the book could not be kept in
  std::string personPath;      // the data paths to use (unchanged unless moved)
  std::string groupPath;
};

// Decides from the data paths made from the current directory. The book stays where it is when
// a data file is there (a failing save is then told as any other), when the existence test
// fails for another reason than "not found" (the load then tells the error), or when the
// folder takes new files and is not the program's own folder with the user's book elsewhere;
// and also when no user folder can be named or its paths would not fit the 260-byte buffers.
BookFolderChoice ChooseBookFolder(BookFolderPlaces& places, const std::string& personPath,
                                  const std::string& groupPath);

// The folder of a data path: "C:\book\personal.inf" -> "C:\book", "C:\\personal.inf" -> "C:\".
std::string FolderOfDataPath(const std::string& path);
