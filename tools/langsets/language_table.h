// One language's translation table and the shared widened layouts, as read from resources/lang.
#pragma once

#include <map>
#include <string>
#include <vector>

// English text (as written in the script, escapes kept) -> translated text (same notation).
using TextMap = std::map<std::string, std::string>;

struct LanguageTable {
  std::string file;
  int language = 0;
  TextMap texts;                          // menu and control texts of every menu and dialog
  std::map<std::string, TextMap> scoped;  // "[FINDDLG]" sections: texts for that resource only
  std::map<int, std::string> strings;     // English string id -> translated text
  std::vector<std::string> widenings;     // names of widened layouts the language takes
};

struct ControlRect {
  int x = 0, y = 0, width = 0, height = 0;
};

// A layout for controls whose translations need more room. Controls are named by their English
// text ("&First"), or "id 102" when they have none; "dialog" stands for the template itself.
struct Widening {
  std::string resource;
  std::map<std::string, ControlRect> rects;
};
using Widenings = std::map<std::string, Widening>;

// Reads "path"; false with "file:line: reason" in error on a malformed line.
bool ReadLanguageTable(const std::string& path, LanguageTable& table, std::string& error);
bool ReadWidenings(const std::string& path, Widenings& widenings, std::string& error);

// The same readers over text already in memory (the file name only labels errors).
bool ParseLanguageTable(const std::string& text, const std::string& file, LanguageTable& table, std::string& error);
bool ParseWidenings(const std::string& text, const std::string& file, Widenings& widenings, std::string& error);
