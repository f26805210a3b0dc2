#include "store/name_rules.h"

#include <cstring>

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
}  // namespace

bool FitNameToRules(std::string& text, const CodePage& page) {
  bool changed = false;
  for (size_t i = 0; i < text.size();) {
    size_t n = CharLengthAt(page, text, i);
    if (n == 1) {
      char fitted = LookAlike(text[i]);
      changed |= fitted != text[i];
      text[i] = fitted;
    }
    i += n;
  }
  return changed;
}

bool IsValidNameText(const char* text) {
  for (const char* p = text; *p; ++p)
    if (std::strchr(kForbidden, *p)) return false;
  return true;
}

int ValidatePersonInput(const AddressStore& store, const PersonInput& input, int editedSlot) {
  if (input.description[0] == '\0') return kMsgEmptyDescription;
  if (!IsValidNameText(input.description)) return kMsgBadDescription;
  int holder = FindPersonByDescription(store, input.description);
  if (holder >= 0 && holder != editedSlot) return kMsgDescriptionTaken;
  if (!IsValidNameText(input.first)) return kMsgBadFirstName;
  if (!IsValidNameText(input.middle)) return kMsgBadMiddleName;
  if (!IsValidNameText(input.last)) return kMsgBadLastName;
  return kMsgNone;
}

int ValidateGroupInput(const AddressStore& store, const char* groupName, int editedSlot) {
  if (groupName[0] == '\0') return kMsgEmptyGroupName;
  if (!IsValidNameText(groupName)) return kMsgBadGroupName;
  int holder = FindGroupByName(store, groupName);
  if (holder >= 0 && holder != editedSlot) return kMsgGroupNameTaken;
  return kMsgNone;
}
