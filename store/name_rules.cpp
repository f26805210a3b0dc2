#include "store/name_rules.h"

#include <cstring>
#include <string_view>

#include "store/indexes.h"

namespace {
const char kForbidden[] = ";\\/*:?\"<>|()";

char LookAlike(char c) {
  switch (c) {
    case '(': case '<': return '[';
    case ')': case '>': return ']';
    case '/': case '\\': case '|': case ':': return '-';
    case ';': return ',';
    case '*': case '?': return '_';
    case '"': return '\'';
    default: return c;
  }
}

// No double-byte code page has a trail byte below 0x40, so a lead byte before ";" or another
// forbidden byte down there is no character of its own and hides nothing.
size_t NameCharLength(const CodePage& page, std::string_view text, size_t i) {
  size_t n = CharLengthAt(page, text, i);
  return n == 2 && static_cast<unsigned char>(text[i + 1]) < 0x40 ? 1 : n;
}
}  // namespace

bool FitNameToRules(std::string& text, const CodePage& page) {
  bool changed = false;
  for (size_t i = 0; i < text.size();) {
    size_t n = NameCharLength(page, text, i);
    if (n == 1) {
      char fitted = LookAlike(text[i]);
      changed |= fitted != text[i];
      text[i] = fitted;
    }
    i += n;
  }
  return changed;
}

bool IsValidNameText(const char* text, const CodePage& page) {
  std::string_view name(text);
  for (size_t i = 0; i < name.size(); i += NameCharLength(page, name, i))
    if (std::strchr(kForbidden, name[i])) return false;
  return true;
}

int ValidatePersonInput(const AddressStore& store, const PersonInput& input, int editedSlot) {
  if (input.description[0] == '\0') return kMsgEmptyDescription;
  if (!IsValidNameText(input.description, store.codePage)) return kMsgBadDescription;
  int holder = FindPersonByDescription(store, input.description);
  if (holder >= 0 && holder != editedSlot) return kMsgDescriptionTaken;
  if (!IsValidNameText(input.first, store.codePage)) return kMsgBadFirstName;
  if (!IsValidNameText(input.middle, store.codePage)) return kMsgBadMiddleName;
  if (!IsValidNameText(input.last, store.codePage)) return kMsgBadLastName;
  return kMsgNone;
}

int ValidateGroupInput(const AddressStore& store, const char* groupName, int editedSlot) {
  if (groupName[0] == '\0') return kMsgEmptyGroupName;
  if (!IsValidNameText(groupName, store.codePage)) return kMsgBadGroupName;
  int holder = FindGroupByName(store, groupName);
  if (holder >= 0 && holder != editedSlot) return kMsgGroupNameTaken;
  return kMsgNone;
}
