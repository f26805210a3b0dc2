#include "tools/langsets/english_script.h"

#include <fstream>
#include <string_view>

#include "tools/langsets/rc_text.h"

namespace {

constexpr std::string_view kEnglishSuffix = "_EG";

std::string DirectoryOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool OpensBlock(std::string_view line) {
  std::string_view word = Trim(line);
  return word == "BEGIN" || word == "{";
}

bool ClosesBlock(std::string_view line) {
  std::string_view word = Trim(line);
  return word == "END" || word == "}";
}

std::vector<std::string> Words(std::string_view line) {
  std::vector<std::string> words;
  size_t at = 0;
  while (at < line.size()) {
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
    size_t end = at;
    while (end < line.size() && line[end] != ' ' && line[end] != '\t') ++end;
    if (end > at) words.emplace_back(line.substr(at, end - at));
    at = end;
  }
  return words;
}

// "NAME_EG MENU" or "NAME_EG DIALOG x, y, w, h": the kind and base name of a localized resource.
bool LocalizedHeader(std::string_view line, ScriptResource& resource) {
  std::vector<std::string> words = Words(Trim(line));
  if (words.size() < 2) return false;
  const std::string& name = words[0];
  if (name.size() <= kEnglishSuffix.size() ||
      name.compare(name.size() - kEnglishSuffix.size(), kEnglishSuffix.size(), kEnglishSuffix) != 0)
    return false;
  if (words[1] == "MENU" || words[1] == "MENUEX") {
    resource.kind = ResourceKind::Menu;
  } else if (words[1] == "DIALOG" || words[1] == "DIALOGEX") {
    resource.kind = ResourceKind::Dialog;
  } else {
    return false;
  }
  resource.baseName = name.substr(0, name.size() - kEnglishSuffix.size());
  return true;
}

}  // namespace

bool ReadScriptLines(const std::string& path, std::vector<std::string>& lines, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot read " + path;
    return false;
  }
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::string_view trimmed = Trim(line);
    std::string included;
    size_t end = 0;
    if (trimmed.rfind("#include", 0) == 0) {
      size_t quote = trimmed.find('"');
      if (quote != std::string_view::npos && ReadQuoted(trimmed, quote, included, end)) {
        if (!ReadScriptLines(DirectoryOf(path) + included, lines, error)) return false;
        continue;
      }
    }
    lines.push_back(line);
  }
  return true;
}

EnglishScript CollectLocalizedResources(const std::vector<std::string>& lines) {
  EnglishScript script;
  ScriptResource current;
  bool collecting = false;
  int depth = 0;
  for (const std::string& line : lines) {
    if (!collecting && depth == 0) {
      std::string_view trimmed = Trim(line);
      if (trimmed.rfind("#define", 0) == 0) {
        script.defines.push_back(line);
      } else if (LocalizedHeader(line, current)) {
        collecting = true;
      } else if (LeadingWord(line) == "STRINGTABLE") {
        current = ScriptResource{ResourceKind::Strings, "", {}};
        collecting = true;
      }
    }
    if (collecting) current.lines.push_back(line);
    if (OpensBlock(line)) ++depth;
    if (ClosesBlock(line) && depth > 0 && --depth == 0 && collecting) {
      script.resources.push_back(current);
      current = ScriptResource{};
      collecting = false;
    }
  }
  return script;
}
