#include "tools/langsets/localize.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <string_view>

#include "app/language.h"
#include "tools/langsets/rc_text.h"

namespace {

const std::set<std::string_view> kTextControls = {
    "LTEXT", "RTEXT", "CTEXT", "PUSHBUTTON", "DEFPUSHBUTTON", "AUTORADIOBUTTON", "RADIOBUTTON",
    "CHECKBOX", "AUTOCHECKBOX", "STATE3", "AUTO3STATE", "GROUPBOX", "PUSHBOX", "CONTROL", "ICON"};
// Texts are loaded into 256-byte buffers (message boxes, status hints).
constexpr size_t kLongestText = 255;

const std::set<std::string_view> kIdFirstControls = {"EDITTEXT", "LISTBOX", "COMBOBOX", "SCROLLBAR"};

std::string Quote(const std::string& text) { return "\"" + text + "\""; }

bool HasLetter(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) { return std::isalpha(static_cast<unsigned char>(c)) || (c & 0x80); });
}

// The part after the last "\n" when it holds no letter, else empty.
std::string PunctuationTail(const std::string& text) {
  size_t at = text.rfind("\\n");
  if (at == std::string::npos) return "";
  std::string tail = text.substr(at + 2);
  return HasLetter(tail) ? "" : tail;
}

// Characters the text holds once its escapes are resolved.
size_t ResolvedLength(const std::string& text) {
  size_t length = 0;
  for (size_t i = 0; i < text.size(); ++i, ++length)
    if ((text[i] == '\\' || (text[i] == '"' && i + 1 < text.size() && text[i + 1] == '"')) && i + 1 < text.size()) ++i;
  return length;
}

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Access keys of one menu level or one dialog: a letter may lead to one item only.
class AccessKeyScope {
 public:
  void Add(const std::string& text, const std::string& where, std::vector<std::string>& problems) {
    for (char key : AccessKeys(text)) {
      auto [it, added] = owners_.emplace(key, text);
      if (!added) problems.push_back(where + ": access key &" + key + " in \"" + it->second + "\" and \"" + text + "\"");
    }
  }

 private:
  std::map<char, std::string> owners_;
};

// Where a localized resource's lines are produced, with what the table and layouts say about it.
class SetBuilder {
 public:
  SetBuilder(const LanguageTable& table, const Widenings& widenings) : table_(table) {
    for (const std::string& name : table.widenings) {
      auto it = widenings.find(name);
      if (it == widenings.end()) {
        result_.problems.push_back(table.file + ": no widened layout \"" + name + "\"");
        continue;
      }
      for (const auto& [control, rect] : it->second.rects) rects_[it->second.resource][control] = rect;
    }
    for (const auto& [resource, controls] : rects_)
      for (const auto& entry : controls) unusedRects_.insert(resource + " " + entry.first);
    for (const auto& entry : table.texts) unusedTexts_.insert("* " + entry.first);
    for (const auto& [resource, texts] : table.scoped)
      for (const auto& entry : texts) unusedTexts_.insert(resource + " " + entry.first);
    for (const auto& entry : table.strings) unusedStrings_.insert(entry.first);
  }

  void Add(const ScriptResource& resource) {
    resource_ = &resource;
    switch (resource.kind) {
      case ResourceKind::Menu: AddMenu(); break;
      case ResourceKind::Dialog: AddDialog(); break;
      case ResourceKind::Strings: AddStrings(); break;
    }
    out_ += "\n";
  }

  LocalizedSet Finish() {
    for (const std::string& entry : unusedTexts_) {
      size_t space = entry.find(' ');
      Problem("translation of \"" + entry.substr(space + 1) + "\" (" + entry.substr(0, space) + ") is not used");
    }
    for (int id : unusedStrings_) Problem("string " + std::to_string(id) + " is not in the English set");
    for (const std::string& control : unusedRects_) Problem("widened control " + control + " is not in the English set");
    result_.script = out_;
    return result_;
  }

 private:
  // Each problem once, though a shared text may stand in several dialogs.
  void Problem(const std::string& what) {
    std::string problem = table_.file + ": " + what;
    auto& problems = result_.problems;
    if (std::find(problems.begin(), problems.end(), problem) == problems.end()) problems.push_back(problem);
  }

  std::string LocalName() const { return resource_->baseName + std::string(LanguageSuffix(table_.language)); }

  // The header line under the language's name, e.g. "FINDDLG_GR DIALOG 0, 0, 242, 66".
  std::string Header(const std::string& line) const {
    std::string_view trimmed = Trim(line);
    size_t space = trimmed.find(' ');
    return LocalName() + std::string(trimmed.substr(space));
  }

  std::string Translate(const std::string& english) {
    auto scoped = table_.scoped.find(resource_->baseName);
    const std::string* found = nullptr;
    if (scoped != table_.scoped.end()) {
      auto it = scoped->second.find(english);
      if (it != scoped->second.end()) {
        found = &it->second;
        unusedTexts_.erase(resource_->baseName + " " + english);
      }
    }
    if (!found) {
      auto it = table_.texts.find(english);
      if (it != table_.texts.end()) {
        found = &it->second;
        unusedTexts_.erase("* " + english);
      }
    }
    if (!found) {
      Problem(resource_->baseName + ": no translation of \"" + english + "\"");
      return english;
    }
    for (const std::string& mismatch : TranslationMismatches(english, *found))
      Problem(resource_->baseName + ": \"" + *found + "\": " + mismatch);
    return *found;
  }

  // Replaces the line's first quoted text by its translation; returns the translation.
  std::string TranslateFirstText(std::string& line) {
    size_t quote = line.find('"');
    std::string english;
    size_t end = 0;
    if (quote == std::string::npos || !ReadQuoted(line, quote, english, end) || english.empty()) return "";
    std::string translated = Translate(english);
    line = line.substr(0, quote) + Quote(translated) + line.substr(end);
    return translated;
  }

  void AddMenu() {
    std::vector<AccessKeyScope> levels;
    out_ += Header(resource_->lines[0]) + "\n";
    for (size_t i = 1; i < resource_->lines.size(); ++i) {
      std::string line = resource_->lines[i];
      std::string_view word = LeadingWord(line);
      if (word == "BEGIN" || word == "{") levels.emplace_back();
      if ((word == "END" || word == "}") && !levels.empty()) levels.pop_back();
      if ((word == "POPUP" || word == "MENUITEM") && !levels.empty()) {
        std::string text = TranslateFirstText(line);
        levels.back().Add(text, LocalName(), result_.problems);
      }
      out_ += line + "\n";
    }
  }

  void AddDialog() {
    AccessKeyScope keys;
    out_ += Widened(Header(resource_->lines[0]), "dialog", 0) + "\n";
    for (size_t i = 1; i < resource_->lines.size(); ++i) {
      std::string line = resource_->lines[i];
      std::string_view word = LeadingWord(line);
      if (word == "CAPTION") {
        TranslateFirstText(line);
      } else if (kTextControls.count(word)) {
        std::string english = SplitArguments(line).at(0);
        std::string key = english == "\"\"" ? "id " + SplitArguments(line).at(1) : english.substr(1, english.size() - 2);
        if (word != "ICON") keys.Add(TranslateFirstText(line), LocalName(), result_.problems);
        line = Widened(line, key, word == "CONTROL" ? 4 : 2);
      } else if (kIdFirstControls.count(word)) {
        line = Widened(line, "id " + SplitArguments(line).at(0), 1);
      }
      out_ += line + "\n";
    }
  }

  // The line with its rectangle (arguments from `first`, or the header's numbers) replaced when
  // a widened layout names the control.
  std::string Widened(const std::string& line, const std::string& control, size_t first) {
    auto resource = rects_.find(resource_->baseName);
    if (resource == rects_.end()) return line;
    auto it = resource->second.find(control);
    if (it == resource->second.end()) return line;
    unusedRects_.erase(resource_->baseName + " " + control);
    const ControlRect& r = it->second;
    std::vector<std::string> numbers = {std::to_string(r.x), std::to_string(r.y), std::to_string(r.width), std::to_string(r.height)};
    if (control == "dialog") {
      std::string_view trimmed = Trim(line);
      size_t space = trimmed.find(' ');
      size_t kindEnd = trimmed.find(' ', space + 1);
      std::string head(trimmed.substr(0, kindEnd));
      return head + " " + numbers[0] + ", " + numbers[1] + ", " + numbers[2] + ", " + numbers[3];
    }
    std::vector<std::string> arguments = SplitArguments(line);
    std::copy(numbers.begin(), numbers.end(), arguments.begin() + static_cast<long>(first));
    return JoinControlLine(line, arguments);
  }

  void AddStrings() {
    int offset = StringTableOffset(table_.language);
    for (const std::string& line : resource_->lines) {
      std::string_view word = LeadingWord(line);
      if (word.empty() || !std::isdigit(static_cast<unsigned char>(word[0]))) {
        out_ += line + "\n";
        continue;
      }
      int id = std::stoi(std::string(word));
      std::string english;
      size_t end = 0;
      ReadQuoted(line, line.find('"'), english, end);
      out_ += "  " + std::to_string(id + offset) + ", " + Quote(TranslateString(id, english)) + "\n";
    }
  }

  std::string TranslateString(int id, const std::string& english) {
    auto it = table_.strings.find(id);
    if (it == table_.strings.end()) {
      Problem("no translation of string " + std::to_string(id) + " \"" + english + "\"");
      return english;
    }
    unusedStrings_.erase(id);
    for (const std::string& mismatch : TranslationMismatches(english, it->second))
      Problem("string " + std::to_string(id) + ": " + mismatch);
    return it->second;
  }

  const LanguageTable& table_;
  const ScriptResource* resource_ = nullptr;
  std::map<std::string, std::map<std::string, ControlRect>> rects_;
  std::set<std::string> unusedTexts_, unusedRects_;
  std::set<int> unusedStrings_;
  std::string out_;
  LocalizedSet result_;
};

}  // namespace

std::vector<std::string> TranslationMismatches(const std::string& english, const std::string& translated) {
  std::vector<std::string> found;
  auto join = [](const std::vector<std::string>& items) {
    std::string out;
    for (const std::string& item : items) out += item + " ";
    return out.empty() ? std::string("none") : out.substr(0, out.size() - 1);
  };
  if (Placeholders(english) != Placeholders(translated))
    found.push_back("placeholders " + join(Placeholders(translated)) + " where English has " + join(Placeholders(english)));
  if (AccessKeys(english).size() != AccessKeys(translated).size())
    found.push_back(std::to_string(AccessKeys(translated).size()) + " access keys where English has " +
                    std::to_string(AccessKeys(english).size()));
  if ((english.find("\\t") == std::string::npos) != (translated.find("\\t") == std::string::npos))
    found.push_back("the \\t shortcut column differs from English");
  if (ResolvedLength(translated) > kLongestText && ResolvedLength(english) <= kLongestText)
    found.push_back(std::to_string(ResolvedLength(translated)) + " characters where the program keeps " + std::to_string(kLongestText));
  std::string tail = PunctuationTail(english);
  if (!tail.empty() && !EndsWith(translated, "\\n" + tail)) found.push_back("does not end with \"\\n" + tail + "\" as English does");
  return found;
}

LocalizedSet LocalizeSet(const EnglishScript& english, const LanguageTable& table, const Widenings& widenings) {
  SetBuilder builder(table, widenings);
  for (const ScriptResource& resource : english.resources) builder.Add(resource);
  return builder.Finish();
}
