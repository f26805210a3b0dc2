#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>
#include <stdexcept>

#include "store/data_file_io.h"

namespace {

IoResult Failure() {
  int code = errno;
  IoResult result;
  result.error = code == ENOENT || code == ENOTDIR ? IoError::kNotFound
                 : code == EEXIST                  ? IoError::kExists
                 : code == ENOMEM                  ? IoError::kOutOfMemory
                                                   : IoError::kOther;
  result.reason = std::strerror(code);
  return result;
}

IoResult OutOfMemory() {
  IoResult result;
  result.error = IoError::kOutOfMemory;
  result.reason = std::strerror(ENOMEM);
  return result;
}

class PosixOutputFile : public OutputFile {
 public:
  explicit PosixOutputFile(int fd) : fd_(fd) {}
  ~PosixOutputFile() override {
    if (fd_ >= 0) ::close(fd_);
  }
  IoResult Write(const uint8_t* data, size_t size) override {
    while (size > 0) {
      ssize_t done = ::write(fd_, data, size);
      if (done < 0 && errno == EINTR) continue;
      if (done <= 0) {
        if (done == 0) errno = EIO;
        return Failure();
      }
      data += done;
      size -= static_cast<size_t>(done);
    }
    return {};
  }
  IoResult Flush() override { return ::fsync(fd_) == 0 ? IoResult{} : Failure(); }
  IoResult Close() override {
    int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0 ? IoResult{} : Failure();
  }

 private:
  int fd_;
};

std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// A rename is only on the device once the folder holding it is.
IoResult SyncFolder(const std::string& folder) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return Failure();
  IoResult result = ::fsync(fd) == 0 ? IoResult{} : Failure();
  ::close(fd);
  return result;
}

class PosixFiles : public DataFileSystem {
 public:
  FileImage ReadWhole(const std::string& path) override {
    FileImage image;
    int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) {
      image.result = Failure();
      return image;
    }
    image.result = ReadAll(fd, image.bytes);
    ::close(fd);
    if (!image.result.ok()) image.bytes.clear();
    return image;
  }

  bool Exists(const std::string& path) override {
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0;
  }

  IoResult Create(const std::string& path, CreateMode mode, std::unique_ptr<OutputFile>& file) override {
    int flags = O_WRONLY | O_CREAT | (mode == CreateMode::kOnlyNew ? O_EXCL : O_TRUNC);
    int fd = ::open(path.c_str(), flags, 0644);
    if (fd < 0) return Failure();
    file = std::make_unique<PosixOutputFile>(fd);
    return {};
  }

  IoResult Replace(const std::string& from, const std::string& to) override {
    if (std::rename(from.c_str(), to.c_str()) != 0) return Failure();
    return SyncFolder(FolderOf(to));
  }

  void Remove(const std::string& path) override { ::unlink(path.c_str()); }

 private:
  static IoResult ReadAll(int fd, std::vector<uint8_t>& bytes) {
    struct stat info;
    if (::fstat(fd, &info) != 0) return Failure();
    try {
      bytes.resize(static_cast<size_t>(info.st_size));
    } catch (const std::bad_alloc&) {
      return OutOfMemory();
    } catch (const std::length_error&) {
      return OutOfMemory();
    }
    size_t done = 0;
    while (done < bytes.size()) {
      ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) {
        if (got == 0) errno = EIO;  // the file ended before its size: no progress is a failed read
        return Failure();
      }
      done += static_cast<size_t>(got);
    }
    return {};
  }
};

}  // namespace

DataFileSystem& PlatformFiles() {
  static PosixFiles files;
  return files;
}
