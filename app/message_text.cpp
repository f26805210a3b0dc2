#include "app/message_text.h"

#include <vector>

namespace {

std::string Fill(std::string_view pattern, char conversion, const std::string_view* next,
                 const std::string_view* end) {
  std::string text;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == conversion) {
      if (next != end) text += *next++;
      ++i;
    } else {
      text += pattern[i];
    }
  }
  return text;
}

}  // namespace

std::string FillPlaceholders(std::string_view pattern, std::initializer_list<std::string_view> values) {
  return Fill(pattern, 's', values.begin(), values.end());
}

std::string FillNumbers(std::string_view pattern, std::initializer_list<uint32_t> numbers) {
  std::vector<std::string> digits;
  for (uint32_t number : numbers) digits.push_back(std::to_string(number));
  std::vector<std::string_view> values(digits.begin(), digits.end());
  return Fill(pattern, 'd', values.data(), values.data() + values.size());
}
