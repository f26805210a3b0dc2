// Writing a data file so that a failure or a crash at any moment leaves the old file or the new
// one, never a mix, and keeping a damaged file's bytes before they are replaced.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "store/data_file_io.h"
#include "store/file_state.h"

// Writes `bytes` to path + ".tmp", flushes it to the device and puts it in the place of `path`.
// On a failure the temporary file is removed and `path` keeps its bytes.
std::optional<FileFailure> ReplaceFileContent(DataFileSystem& files, const std::string& path,
                                              const std::vector<uint8_t>& bytes);

// The length of the longest name a save of the data file at path can make: its temporary file,
// or the copy of a damaged original numbered with up to 10 digits.
size_t LongestSaveNameLength(const std::string& path);

// True when every name a save of that file can make fits a path buffer of bufferSize bytes,
// its closing zero included.
bool SaveNamesFit(const std::string& path, size_t bufferSize);

// The folder part of a data file's path: up to its last backslash, which a drive's root keeps.
std::string FolderOfDataFile(const std::string& path);

// The first name of path + ".damaged", path + ".damaged-2", ... that no file has yet.
std::string FreeCopyName(DataFileSystem& files, const std::string& path);

// Copies the file's present bytes, in full and flushed, to a free copy name; an earlier copy is
// never written over. Nothing to do when the file is gone.
std::optional<FileFailure> KeepOriginalCopy(DataFileSystem& files, const std::string& path);
