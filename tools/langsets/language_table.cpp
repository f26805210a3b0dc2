#include "tools/langsets/language_table.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string_view>

#include "tools/langsets/rc_text.h"

namespace {

struct LineReader {
  std::istringstream in;
  std::string file;
  int number = 0;
  std::string line;

  LineReader(const std::string& text, const std::string& name) : in(text), file(name) {}

  // The next line that is neither blank nor a '#' comment, trimmed.
  bool Next(std::string_view& trimmed) {
    while (std::getline(in, line)) {
      ++number;
      trimmed = Trim(line);
      if (!trimmed.empty() && trimmed[0] != '#') return true;
    }
    return false;
  }

  bool Fail(std::string& error, const std::string& why) const {
    error = file + ":" + std::to_string(number) + ": " + why;
    return false;
  }
};

bool ReadWholeFile(const std::string& path, std::string& text, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot read " + path;
    return false;
  }
  std::ostringstream content;
  content << in.rdbuf();
  text = content.str();
  return true;
}

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// `"English" = "translation"`: both texts, or false.
bool ReadTextPair(std::string_view line, std::string& english, std::string& translated) {
  size_t end = 0;
  if (!ReadQuoted(line, 0, english, end)) return false;
  std::string_view rest = Trim(line.substr(end));
  if (rest.empty() || rest[0] != '=') return false;
  rest = Trim(rest.substr(1));
  return ReadQuoted(rest, 0, translated, end) && Trim(rest.substr(end)).empty();
}

// `101 = "translation"`.
bool ReadStringEntry(std::string_view line, int& id, std::string& translated) {
  int consumed = 0;
  std::string copy(line);
  if (std::sscanf(copy.c_str(), "%d = %n", &id, &consumed) != 1 || consumed == 0) return false;
  std::string_view rest = line.substr(static_cast<size_t>(consumed));
  size_t end = 0;
  return ReadQuoted(rest, 0, translated, end) && Trim(rest.substr(end)).empty();
}

bool ReadRect(std::string_view text, ControlRect& rect) {
  std::string copy(text);
  int consumed = 0;
  return std::sscanf(copy.c_str(), " %d , %d , %d , %d %n", &rect.x, &rect.y, &rect.width, &rect.height, &consumed) == 4 &&
         static_cast<size_t>(consumed) == copy.size();
}

// `"English" = x, y, w, h`, `id 102 = ...` or `dialog = ...`.
bool ReadRectLine(std::string_view line, std::string& control, ControlRect& rect) {
  size_t equals = 0;
  if (line[0] == '"') {
    if (!ReadQuoted(line, 0, control, equals)) return false;
  } else {
    equals = line.find('=');
    if (equals == std::string_view::npos) return false;
    control = std::string(Trim(line.substr(0, equals)));
    if (control != "dialog" && !StartsWith(control, "id ")) return false;
  }
  std::string_view rest = Trim(line.substr(equals));
  return !rest.empty() && rest[0] == '=' && ReadRect(rest.substr(1), rect);
}

}  // namespace

bool ParseLanguageTable(const std::string& text, const std::string& file, LanguageTable& table, std::string& error) {
  LineReader reader(text, file);
  table.file = file;
  TextMap* section = &table.texts;
  std::string_view line;
  while (reader.Next(line)) {
    std::string english, translated, name;
    int id = 0;
    if (StartsWith(line, "language ")) {
      table.language = std::atoi(std::string(line.substr(9)).c_str());
    } else if (StartsWith(line, "widen ")) {
      table.widenings.emplace_back(Trim(line.substr(6)));
    } else if (line.front() == '[' && line.back() == ']') {
      section = &table.scoped[std::string(Trim(line.substr(1, line.size() - 2)))];
    } else if (ReadTextPair(line, english, translated)) {
      if (!section->emplace(english, translated).second) return reader.Fail(error, "\"" + english + "\" twice");
    } else if (ReadStringEntry(line, id, translated)) {
      if (!table.strings.emplace(id, translated).second) return reader.Fail(error, "string " + std::to_string(id) + " twice");
    } else {
      return reader.Fail(error, "not a translation: " + std::string(line));
    }
  }
  if (table.language < 1 || table.language > 8) return reader.Fail(error, "no \"language N\" line (1 to 8)");
  return true;
}

bool ParseWidenings(const std::string& text, const std::string& file, Widenings& widenings, std::string& error) {
  LineReader reader(text, file);
  Widening* current = nullptr;
  std::string_view line;
  while (reader.Next(line)) {
    std::string control;
    ControlRect rect;
    if (line.front() == '[' && line.back() == ']') {
      std::istringstream words{std::string(line.substr(1, line.size() - 2))};
      std::string name, resource;
      if (!(words >> name >> resource)) return reader.Fail(error, "want [NAME RESOURCE]");
      current = &widenings[name];
      current->resource = resource;
    } else if (current && ReadRectLine(line, control, rect)) {
      current->rects[control] = rect;
    } else {
      return reader.Fail(error, "not a control's rectangle: " + std::string(line));
    }
  }
  return true;
}

bool ReadLanguageTable(const std::string& path, LanguageTable& table, std::string& error) {
  std::string text;
  return ReadWholeFile(path, text, error) && ParseLanguageTable(text, path, table, error);
}

bool ReadWidenings(const std::string& path, Widenings& widenings, std::string& error) {
  std::string text;
  return ReadWholeFile(path, text, error) && ParseWidenings(text, path, widenings, error);
}
