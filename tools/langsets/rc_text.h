// Small pieces of resource-script syntax: quoted texts, argument lists, access keys.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The text between the quotes that open at `at`, as written (escapes kept); `end` is set past
// the closing quote. False when no closed quoted text starts there.
bool ReadQuoted(std::string_view line, size_t at, std::string& text, size_t& end);

// The line's leading word ("MENUITEM", "LTEXT", "101", ...) after its indentation.
std::string_view LeadingWord(std::string_view line);

// The comma-separated arguments after the leading word, trimmed; commas inside quotes do not split.
std::vector<std::string> SplitArguments(std::string_view line);

// The line's indentation followed by word and arguments joined by ", ".
std::string JoinControlLine(std::string_view line, const std::vector<std::string>& arguments);

std::string_view Trim(std::string_view text);

// The letter after each single '&' ("&&" is a literal ampersand), upper-cased in Windows-1252.
std::vector<char> AccessKeys(std::string_view text);

// The printf conversions ("%s", "%d", "%5.2f" ...) in order; "%%" is not one.
std::vector<std::string> Placeholders(std::string_view text);
