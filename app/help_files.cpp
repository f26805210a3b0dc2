#include "app/help_files.h"

namespace {

constexpr std::string_view kWindowSuffix = ">qlonhlp";

}  // namespace

std::string ExecutableFolder(std::string_view modulePath) {
  std::size_t lastSlash = modulePath.rfind('\\');
  if (lastSlash == std::string_view::npos) return std::string(modulePath);
  return std::string(modulePath.substr(0, lastSlash + 1));
}

std::string HelpTarget(std::string_view folder, std::string_view helpFile) {
  std::string target;
  if (folder.size() + helpFile.size() + kWindowSuffix.size() < kHelpPathSize) target = folder;
  target.append(helpFile).append(kWindowSuffix);
  return target;
}

std::string_view HelpFileOf(std::string_view target) {
  return target.substr(0, target.find('>'));
}

bool IsWinHelpTarget(std::string_view target) {
  std::string_view file = HelpFileOf(target);
  std::string_view name = kWinHelpFile;
  return file.size() >= name.size() && file.substr(file.size() - name.size()) == name;
}

std::string TextWithPath(std::string_view text, std::string_view path) {
  std::size_t marker = text.find("%s");
  if (marker == std::string_view::npos) return std::string(text);
  std::string out(text.substr(0, marker));
  out.append(path).append(text.substr(marker + 2));
  return out;
}
