// Replaces a file by a fully written temporary file beside it, in one step.
#pragma once

#include <string>

bool ReplaceFileAtomically(const std::string& tempPath, const std::string& finalPath);
