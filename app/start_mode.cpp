#include "app/start_mode.h"

std::string_view CommandLineArguments(std::string_view commandLine) {
  size_t pos = 0;
  if (!commandLine.empty() && commandLine[0] == '"') {
    size_t closing = commandLine.find('"', 1);
    pos = closing == std::string_view::npos ? commandLine.size() : closing + 1;
  } else {
    while (pos < commandLine.size() && commandLine[pos] != ' ' && commandLine[pos] != '\t') ++pos;
  }
  while (pos < commandLine.size()) {
    auto code = static_cast<unsigned char>(commandLine[pos]);
    if (code < 1 || code > 32) break;
    ++pos;
  }
  return commandLine.substr(pos);
}

int StartModeFromArguments(std::string_view arguments) {
  if (arguments == "/o") return 2;
  if (arguments == "/p") return 1;
  return 0;
}

int StartModeFromCommandLine(std::string_view commandLine) {
  return StartModeFromArguments(CommandLineArguments(commandLine));
}
