#include "app/panes/spoken_names.h"

namespace {

std::string_view WithoutDrawingBlank(std::string_view text) {
  if (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  return text;
}

}  // namespace

std::string JoinSpokenTexts(const std::vector<std::string_view>& texts) {
  std::string joined;
  for (std::string_view text : texts) {
    text = WithoutDrawingBlank(text);
    if (text.empty()) continue;
    if (!joined.empty()) joined += ", ";
    joined.append(text);
  }
  return joined;
}

std::string SpokenEntryName(const EntryTexts& texts, std::string_view groupWord) {
  if (!texts.found) return {};
  if (texts.isGroup) return JoinSpokenTexts({texts.name, groupWord, texts.memo});
  return JoinSpokenTexts({texts.name, texts.email, texts.memo});
}
