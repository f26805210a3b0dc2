// The file operations the data files are read and written with, one step each, so that a test
// can put a failing step in place of any of them. PlatformFiles() is the real file system.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

enum class IoError { kNone, kNotFound, kExists, kOutOfMemory, kOther };

struct IoResult {
  IoError error = IoError::kNone;
  std::string reason;  // the system's own words for the failure, empty on success
  bool ok() const { return error == IoError::kNone; }
};

struct FileImage {
  IoResult result;             // kNotFound: no such file or folder
  std::vector<uint8_t> bytes;  // the whole file when the result is ok
};

class OutputFile {
 public:
  virtual ~OutputFile() = default;  // closes an open file without checking
  virtual IoResult Write(const uint8_t* data, size_t size) = 0;
  virtual IoResult Flush() = 0;  // to the device, not only to the system's cache
  virtual IoResult Close() = 0;
};

enum class CreateMode { kReplaceAny, kOnlyNew };

class DataFileSystem {
 public:
  virtual ~DataFileSystem() = default;
  // Reads a file whole, letting others read it meanwhile but not write it.
  virtual FileImage ReadWhole(const std::string& path) = 0;
  virtual bool Exists(const std::string& path) = 0;
  // kOnlyNew fails with kExists when a file of that name is there.
  virtual IoResult Create(const std::string& path, CreateMode mode, std::unique_ptr<OutputFile>& file) = 0;
  // Puts `from` in the place of `to` in one step, so `to` is always the old or the new file.
  virtual IoResult Replace(const std::string& from, const std::string& to) = 0;
  virtual void Remove(const std::string& path) = 0;
};

DataFileSystem& PlatformFiles();
