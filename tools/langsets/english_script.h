// The English resource set as the scripts hold it: its menus, dialog templates and string tables.
#pragma once

#include <string>
#include <vector>

enum class ResourceKind { Menu, Dialog, Strings };

struct ScriptResource {
  ResourceKind kind = ResourceKind::Menu;
  std::string baseName;            // "MAINMENU" for "MAINMENU_EG"; empty for a string table
  std::vector<std::string> lines;  // from the header line to the closing END
};

struct EnglishScript {
  std::vector<std::string> defines;  // "#define" lines the templates may use
  std::vector<ScriptResource> resources;
};

// The script's lines with every `#include "file"` replaced by that file's lines (relative to the
// including file). False, with the reason, when a file cannot be read.
bool ReadScriptLines(const std::string& path, std::vector<std::string>& lines, std::string& error);

// Picks the localized resources ("..._EG" menus and dialogs, string tables) out of the lines;
// everything else (pictures, accelerators) is not part of a language's set.
EnglishScript CollectLocalizedResources(const std::vector<std::string>& lines);
