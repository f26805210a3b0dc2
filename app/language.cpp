#include "app/language.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::string_view kSuffixes[] = {"_GR", "_FR", "_DU", "_IT", "_DE", "_SW", "_NO", "_SP"};

bool CarriesOwnSet(int language) { return language >= 1 && language <= 8; }

}  // namespace

std::string_view LanguageSuffix(int language) {
  return CarriesOwnSet(language) ? kSuffixes[language - 1] : std::string_view("_EG");
}

int StringTableOffset(int language) { return CarriesOwnSet(language) ? 200 * language : 0; }

void ComposeResourceName(char (&buffer)[kResourceNameSize], std::string_view baseName, int language) {
  std::string_view suffix = LanguageSuffix(language);
  size_t room = kResourceNameSize - 1;
  size_t baseLength = std::min(baseName.size(), room);
  std::memcpy(buffer, baseName.data(), baseLength);
  size_t suffixLength = std::min(suffix.size(), room - baseLength);
  std::memcpy(buffer + baseLength, suffix.data(), suffixLength);
  buffer[baseLength + suffixLength] = '\0';
}
