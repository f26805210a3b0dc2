#include "app/setting_values.h"

#include <cstdint>

int ReadSettingValue(std::optional<std::string_view> value, int defaultValue) {
  if (!value || value->empty()) return defaultValue;
  std::string_view text = *value;
  size_t pos = 0;
  while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) negative = text[pos++] == '-';
  uint32_t number = 0;
  for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos)
    number = number * 10u + static_cast<uint32_t>(text[pos] - '0');
  if (negative) number = 0u - number;
  return static_cast<int>(number);
}

std::string FormatSettingValue(int value) { return std::to_string(value); }
