// State and entry points the editing dialogs share among themselves.
#pragma once

#include <windows.h>

#include <cstdint>

#include "store/records.h"
#include "win/dialog_frame_win.h"

extern int32_t EditedPersonSlot;    // person being edited, -1 for a new one
extern int32_t EditedGroupSlot;     // group being edited, -1 for a new one
extern MemberList MemberSelection;  // members handed to and back from select members; empty is none

// The modal dialogs themselves; the openers set the slots and DialogActive around them.
void RunPersonDialog(HWND owner);
void RunGroupDialog(HWND owner);
void RunSelectMembersDialog(HWND owner);

// GroupDialogFont and the person picture: made when the group dialog's member list is first
// measured, released when the group dialog ends; select members borrows them.
void MakePersonItemResources();
// A member list answers screen readers (named by the label before it) and takes type-ahead;
// its items offer "Open" where a double click opens them.
void MakePersonListSpeak(HWND list, bool opensOnDoubleClick);
void ReleasePersonItemResources();
const DialogFont& GroupDialogFontOf();
