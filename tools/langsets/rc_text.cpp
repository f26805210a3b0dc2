#include "tools/langsets/rc_text.h"

#include <cctype>

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Windows-1252 upper case: ASCII, the accented Latin-1 letters and the three pairs in 0x8A-0x9F.
char UpperCase1252(char c) {
  auto u = static_cast<unsigned char>(c);
  if (u >= 'a' && u <= 'z') return static_cast<char>(u - 32);
  if (u >= 0xE0 && u <= 0xFE && u != 0xF7) return static_cast<char>(u - 32);
  if (u == 0x9A || u == 0x9C || u == 0x9E) return static_cast<char>(u - 16);
  if (u == 0xFF) return static_cast<char>(0x9F);
  return c;
}

size_t Indentation(std::string_view line) {
  size_t at = 0;
  while (at < line.size() && IsSpace(line[at])) ++at;
  return at;
}

}  // namespace

bool ReadQuoted(std::string_view line, size_t at, std::string& text, size_t& end) {
  if (at >= line.size() || line[at] != '"') return false;
  text.clear();
  for (size_t i = at + 1; i < line.size(); ++i) {
    char c = line[i];
    if (c == '\\' && i + 1 < line.size()) {
      text += line.substr(i, 2);
      ++i;
    } else if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
      text += "\"\"";
      ++i;
    } else if (c == '"') {
      end = i + 1;
      return true;
    } else {
      text += c;
    }
  }
  return false;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
  return text;
}

std::string_view LeadingWord(std::string_view line) {
  size_t start = Indentation(line);
  size_t end = start;
  while (end < line.size() && !IsSpace(line[end]) && line[end] != ',' && line[end] != '"') ++end;
  return line.substr(start, end - start);
}

std::vector<std::string> SplitArguments(std::string_view line) {
  size_t at = Indentation(line) + LeadingWord(line).size();
  std::vector<std::string> arguments;
  std::string current;
  bool any = false;
  while (at < line.size()) {
    std::string quoted;
    size_t end = 0;
    if (line[at] == '"' && ReadQuoted(line, at, quoted, end)) {
      current += line.substr(at, end - at);
      at = end;
      any = true;
      continue;
    }
    if (line[at] == ',') {
      arguments.emplace_back(Trim(current));
      current.clear();
    } else {
      current += line[at];
      any = true;
    }
    ++at;
  }
  if (any || !arguments.empty()) arguments.emplace_back(Trim(current));
  return arguments;
}

std::string JoinControlLine(std::string_view line, const std::vector<std::string>& arguments) {
  std::string out(line.substr(0, Indentation(line)));
  out += LeadingWord(line);
  for (size_t i = 0; i < arguments.size(); ++i) out += (i == 0 ? " " : ", ") + arguments[i];
  return out;
}

std::vector<char> AccessKeys(std::string_view text) {
  std::vector<char> keys;
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (text[i + 1] == '&') {
      ++i;
      continue;
    }
    keys.push_back(UpperCase1252(text[i + 1]));
  }
  return keys;
}

std::vector<std::string> Placeholders(std::string_view text) {
  std::vector<std::string> found;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') continue;
    if (i + 1 < text.size() && text[i + 1] == '%') {
      ++i;
      continue;
    }
    size_t end = i + 1;
    while (end < text.size() && std::string_view("-+ #0123456789.*lhI").find(text[end]) != std::string_view::npos) ++end;
    if (end < text.size() && std::isalpha(static_cast<unsigned char>(text[end]))) ++end;
    found.emplace_back(text.substr(i, end - i));
    i = end - 1;
  }
  return found;
}
