#include "store/safe_write.h"

#include <algorithm>

namespace {

constexpr int kMostCopies = 1000;
const char kTemporarySuffix[] = ".tmp";
const char kCopySuffix[] = ".damaged";
constexpr size_t kMostCopyNumberDigits = 10;  // room for any 32-bit number

std::string CopyName(const std::string& path, int number) {
  return path + kCopySuffix + (number == 1 ? std::string() : "-" + std::to_string(number));
}

FileFailure FailureOf(FileStep step, const std::string& path, const IoResult& result) {
  FileFailure failure;
  failure.step = step;
  failure.path = path;
  failure.reason = result.reason;
  failure.outOfMemory = result.error == IoError::kOutOfMemory;
  return failure;
}

// Writes, flushes and closes; the first step that fails is reported, and the file removed.
std::optional<FileFailure> WriteOut(DataFileSystem& files, std::unique_ptr<OutputFile> file,
                                    const std::string& path, const std::vector<uint8_t>& bytes, FileStep writeStep,
                                    FileStep flushStep) {
  IoResult result = file->Write(bytes.data(), bytes.size());
  FileStep step = writeStep;
  if (result.ok()) {
    result = file->Flush();
    step = flushStep;
  }
  if (result.ok()) result = file->Close();
  file.reset();
  if (result.ok()) return std::nullopt;
  files.Remove(path);
  return FailureOf(step, path, result);
}

}  // namespace

std::optional<FileFailure> ReplaceFileContent(DataFileSystem& files, const std::string& path,
                                              const std::vector<uint8_t>& bytes) {
  const std::string temp = path + kTemporarySuffix;
  std::unique_ptr<OutputFile> file;
  IoResult created = files.Create(temp, CreateMode::kReplaceAny, file);
  if (!created.ok()) return FailureOf(FileStep::kCreate, temp, created);
  if (auto failure = WriteOut(files, std::move(file), temp, bytes, FileStep::kWrite, FileStep::kFlush)) return failure;
  IoResult replaced = files.Replace(temp, path);
  if (replaced.ok()) return std::nullopt;
  files.Remove(temp);
  return FailureOf(FileStep::kReplace, path, replaced);
}

size_t LongestSaveNameLength(const std::string& path) {
  size_t copy = sizeof(kCopySuffix) - 1 + 1 + kMostCopyNumberDigits;  // ".damaged-" and the number
  return path.size() + std::max(sizeof(kTemporarySuffix) - 1, copy);
}

bool SaveNamesFit(const std::string& path, size_t bufferSize) {
  return LongestSaveNameLength(path) < bufferSize;
}

std::string FolderOfDataFile(const std::string& path) {
  size_t cut = path.find_last_of("\\/");
  if (cut == std::string::npos) return path;
  bool root = cut > 0 && path[cut - 1] == ':';
  return path.substr(0, root ? cut + 1 : cut);
}

std::string FreeCopyName(DataFileSystem& files, const std::string& path) {
  for (int number = 1; number < kMostCopies; ++number)
    if (!files.Exists(CopyName(path, number))) return CopyName(path, number);
  return CopyName(path, kMostCopies);
}

std::optional<FileFailure> KeepOriginalCopy(DataFileSystem& files, const std::string& path) {
  FileImage original = files.ReadWhole(path);
  if (original.result.error == IoError::kNotFound) return std::nullopt;  // nothing left to keep
  if (!original.result.ok()) return FailureOf(FileStep::kKeepCopy, path, original.result);
  IoResult created;
  for (int number = 1; number <= kMostCopies; ++number) {
    std::string name = CopyName(path, number);
    std::unique_ptr<OutputFile> file;
    created = files.Create(name, CreateMode::kOnlyNew, file);
    if (created.error == IoError::kExists) continue;  // an earlier copy stays as it is
    if (!created.ok()) return FailureOf(FileStep::kKeepCopy, name, created);
    return WriteOut(files, std::move(file), name, original.bytes, FileStep::kKeepCopy, FileStep::kKeepCopy);
  }
  return FailureOf(FileStep::kKeepCopy, CopyName(path, kMostCopies), created);
}
