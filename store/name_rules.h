// The rules names must satisfy before the person or group dialog stores them.
#pragma once

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

// True when the text is empty or holds none of ; \ / * : ? " < > | ( )
bool IsValidNameText(const char* text);

struct PersonInput {
  const char* description;
  const char* first;
  const char* middle;
  const char* last;
};

// The first failing rule's message id, or kMsgNone. editedSlot is -1 for a new record.
int ValidatePersonInput(const AddressStore& store, const PersonInput& input, int editedSlot);
int ValidateGroupInput(const AddressStore& store, const char* groupName, int editedSlot);
