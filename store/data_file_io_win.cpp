#include <windows.h>

#include <new>
#include <stdexcept>

#include "store/data_file_io.h"
#include "win/system_words_win.h"

namespace {

IoResult Failure(DWORD code) {
  IoResult result;
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      result.error = IoError::kNotFound;
      break;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      result.error = IoError::kExists;
      break;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      result.error = IoError::kOutOfMemory;
      break;
    default:
      result.error = IoError::kOther;
  }
  result.reason = SystemWords(code);
  return result;
}

IoResult LastFailure() { return Failure(GetLastError()); }

class WinOutputFile : public OutputFile {
 public:
  explicit WinOutputFile(HANDLE file) : file_(file) {}
  ~WinOutputFile() override {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
  }
  IoResult Write(const uint8_t* data, size_t size) override {
    while (size > 0) {
      DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
      DWORD done = 0;
      if (!WriteFile(file_, data, chunk, &done, nullptr)) return LastFailure();
      if (done == 0) return Failure(ERROR_WRITE_FAULT);
      data += done;
      size -= done;
    }
    return {};
  }
  IoResult Flush() override { return FlushFileBuffers(file_) ? IoResult{} : LastFailure(); }
  IoResult Close() override {
    HANDLE file = file_;
    file_ = INVALID_HANDLE_VALUE;
    return CloseHandle(file) ? IoResult{} : LastFailure();
  }

 private:
  HANDLE file_;
};

class WinFiles : public DataFileSystem {
 public:
  FileImage ReadWhole(const std::string& path) override {
    FileImage image;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      image.result = LastFailure();
      return image;
    }
    image.result = ReadAll(file, image.bytes);
    CloseHandle(file);
    if (!image.result.ok()) image.bytes.clear();
    return image;
  }

  // Anything but a plain "not there" counts as taken, so a copy never goes over a file it could not see.
  bool Exists(const std::string& path) override {
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    DWORD code = GetLastError();
    return code != ERROR_FILE_NOT_FOUND && code != ERROR_PATH_NOT_FOUND;
  }

  IoResult Create(const std::string& path, CreateMode mode, std::unique_ptr<OutputFile>& file) override {
    DWORD disposition = mode == CreateMode::kOnlyNew ? CREATE_NEW : CREATE_ALWAYS;
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return LastFailure();
    file = std::make_unique<WinOutputFile>(handle);
    return {};
  }

  IoResult Replace(const std::string& from, const std::string& to) override {
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return {};
    return LastFailure();
  }

  void Remove(const std::string& path) override { DeleteFileA(path.c_str()); }

 private:
  static IoResult ReadAll(HANDLE file, std::vector<uint8_t>& bytes) {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size)) return LastFailure();
    try {
      bytes.resize(static_cast<size_t>(size.QuadPart));
    } catch (const std::bad_alloc&) {
      return Failure(ERROR_NOT_ENOUGH_MEMORY);
    } catch (const std::length_error&) {
      return Failure(ERROR_NOT_ENOUGH_MEMORY);
    }
    size_t done = 0;
    while (done < bytes.size()) {
      size_t left = bytes.size() - done;
      DWORD chunk = left > 0x40000000 ? 0x40000000 : static_cast<DWORD>(left);
      DWORD got = 0;
      if (!ReadFile(file, bytes.data() + done, chunk, &got, nullptr)) return LastFailure();
      if (got == 0) return Failure(ERROR_HANDLE_EOF);  // no progress before the whole size: a failed read
      done += got;
    }
    return {};
  }
};

}  // namespace

DataFileSystem& PlatformFiles() {
  static WinFiles files;
  return files;
}
