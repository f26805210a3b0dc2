// Helpers the round and the apply share.
#pragma once

#include <string>

// Keys compare as the book compares them: letter case of A-Z ignored.
bool CompareNoCaseKey(const std::string& a, const std::string& b);
