#include <windows.h>

#include "store/file_replace.h"

bool ReplaceFileAtomically(const std::string& tempPath, const std::string& finalPath) {
  return MoveFileExA(tempPath.c_str(), finalPath.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}
