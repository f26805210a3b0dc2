#include "app/message_text.h"

std::string FillPlaceholders(std::string_view pattern, std::initializer_list<std::string_view> values) {
  std::string text;
  auto next = values.begin();
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 's') {
      if (next != values.end()) text += *next++;
      ++i;
    } else {
      text += pattern[i];
    }
  }
  return text;
}
