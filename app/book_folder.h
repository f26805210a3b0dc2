// Where the book is kept. Its folder is the current directory at start; started from a folder
// the user may not write (the program's own, under "Program Files"), with no book there yet, the
// book goes to the user's "kalbook" folder in the application-data folder instead, so that the
// first save does not fail.
#pragma once

#include <string>

// What the platform answers about folders and files.
class BookFolderPlaces {
 public:
  virtual ~BookFolderPlaces() = default;
  virtual bool FileExists(const std::string& path) = 0;
  // Whether a new file can be created in the folder (tried, and removed at once).
  virtual bool TakesNewFiles(const std::string& folder) = 0;
  // The user's book folder, made when missing; "" when there is none the program can name.
  virtual std::string UserBookFolder() = 0;
};

struct BookFolderChoice {
  bool moved = false;          // the data paths now lead to the user's folder
  bool tell = false;           // ... which holds no person file yet: the user is told
  std::string refusedFolder;   // the folder the book could not be kept in
  std::string personPath;      // the data paths to use (unchanged unless moved)
  std::string groupPath;
};

// Decides from the data paths made from the current directory. The book stays where it is when
// a data file is there (a failing save is then told as any other) or the folder takes new files,
// and also when no user folder can be named or its paths would not fit the 260-byte buffers.
BookFolderChoice ChooseBookFolder(BookFolderPlaces& places, const std::string& personPath,
                                  const std::string& groupPath);

// The folder of a data path: "C:\book\personal.inf" -> "C:\book", "C:\\personal.inf" -> "C:\".
std::string FolderOfDataPath(const std::string& path);
