// Helpers the round and the apply share.
#pragma once

#include <string>

#include "store/code_page.h"

// Keys compare as the book compares them: letter case of A-Z ignored in single-byte characters.
bool CompareNoCaseKey(const std::string& a, const std::string& b, const CodePage& page);
