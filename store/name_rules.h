// The rules names must satisfy before the person or group dialog stores them.
#pragma once

#include <string>

#include "store/code_page.h"
#include "store/records.h"

// String-table ids of the validation messages.
enum ValidationMessage : int {
  kMsgNone = 0,
  kMsgEmptyDescription = 128,
  kMsgEmptyGroupName = 129,
  kMsgBadDescription = 130,
  kMsgBadFirstName = 131,
  kMsgBadMiddleName = 132,
  kMsgBadLastName = 133,
  kMsgBadGroupName = 134,
  kMsgDescriptionTaken = 135,
  kMsgGroupNameTaken = 136,
};

// True when the text is empty or holds none of ; \ / * : ? " < > | ( ) as a character of its
// own: a trail byte of a double-byte character is part of that character, whatever its value.
bool IsValidNameText(const char* text, const CodePage& page);

// Makes a name from a foreign source one the dialogs accept: each forbidden character becomes a
// look-alike ("(" and "<" "[", ")" and ">" "]", "/" "\\" "|" ":" "-", ";" ",", "*" "?" "_", the
// double quote "'"); a trail byte of a double-byte character is part of it and stays. True when
// anything changed.
bool FitNameToRules(std::string& text, const CodePage& page);

struct PersonInput {
  const char* description;
  const char* first;
  const char* middle;
  const char* last;
};

// The first failing rule's message id, or kMsgNone, under the store's code page. editedSlot is
// -1 for a new record.
int ValidatePersonInput(const AddressStore& store, const PersonInput& input, int editedSlot);
int ValidateGroupInput(const AddressStore& store, const char* groupName, int editedSlot);
