// What the address book knows about each of its two data files: how the load went, whether a
// change still waits to be written, and what the latest failed save met.
#pragma once

#include <cstdint>
#include <string>

// The steps of a save, in order; kKeepCopy is the copy of a damaged file's original bytes.
enum class FileStep { kRead, kKeepCopy, kCreate, kWrite, kFlush, kReplace };

struct FileFailure {
  FileStep step = FileStep::kRead;
  std::string path;          // the file the failing step worked on
  std::string reason;        // the system's own words
  bool outOfMemory = false;  // the file is larger than the memory the program could get
  bool pathTooLong = false;  // refused without trying: the folder leaves no room for the save's names
};

struct DataFileState {
  bool savePending = false;    // a change that no save has written yet
  bool failureUntold = false;  // the latest failed save has not been shown to the user yet
  FileFailure lastFailure;
  // The file on disk holds bytes the tables did not take in: its original bytes are copied
  // beside it (path + ".damaged", "-2", ...) before the first save replaces it.
  bool keepOriginal = false;
  // The folder's path is so long that the names a save makes would not fit the platform's
  // path buffers: every save is refused (and kept pending) without being tried.
  bool savesRefused = false;
};

enum class FileLoadStatus {
  kAbsent,      // no such file: an empty book (persons) or no groups
  kLoaded,
  kDamaged,     // loaded as far as its bytes could be read
  kNotLoaded,   // a group file left unread because there is no person data
  kUnreadable,  // there, but it could not be read (or not held in memory): never written over
};

struct FileLoadResult {
  FileLoadStatus status = FileLoadStatus::kAbsent;
  uint32_t records = 0;  // records taken into the table
  FileFailure failure;   // for kUnreadable
};

struct LoadReport {
  FileLoadResult persons;
  FileLoadResult groups;
};
