// Where the help lives: files beside the executable, shown in the window type "qlonhlp".
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

inline constexpr char kWinHelpFile[] = "qlon.hlp";
inline constexpr char kHtmlHelpFile[] = "qlon.chm";
inline constexpr unsigned kHelpContext = 5;  // the opening topic
inline constexpr std::size_t kHelpPathSize = 260;

// The executable's folder with its closing backslash; a path without a backslash stays whole.
std::string ExecutableFolder(std::string_view modulePath);

// folder + file + ">qlonhlp", as the viewers take it. When that would not fit the 260-byte help
// path, the folder is left out.
std::string HelpTarget(std::string_view folder, std::string_view helpFile);

// The help file a target names (the text before '>').
std::string_view HelpFileOf(std::string_view target);

// True when the target names "qlon.hlp" (WinHelp), false for the HTML Help file.
bool IsWinHelpTarget(std::string_view target);

// A message text with its first "%s" replaced by the path; other '%' stay as they are.
std::string TextWithPath(std::string_view text, std::string_view path);
