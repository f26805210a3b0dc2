// Message texts with values put into their "%s" places.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

// Replaces each "%s" of the pattern, in order, by the next value ("" once they run out). Any
// other "%" stays as it is, so a translated text can never make the values be read as numbers.
std::string FillPlaceholders(std::string_view pattern, std::initializer_list<std::string_view> values);

// The same for numbers in the "%d" places.
std::string FillNumbers(std::string_view pattern, std::initializer_list<uint32_t> numbers);
