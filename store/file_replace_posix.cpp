#include <cstdio>

#include "store/file_replace.h"

bool ReplaceFileAtomically(const std::string& tempPath, const std::string& finalPath) {
  return std::rename(tempPath.c_str(), finalPath.c_str()) == 0;
}
