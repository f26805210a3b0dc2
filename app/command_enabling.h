// Which of the main window's commands are available, from the entry list and the book's state.
#pragma once

struct EnablingInputs {
  int count = 0;             // items in the entry list
  int selected = 0;          // selected items
  bool livePerson = false;   // some person record is not marked deleted
  bool recipientBox = false; // modes 1 and 2
  bool undoDelete = false;   // the latest delete can still be undone
  bool undoMerge = false;    // the latest merge of duplicates can still be undone
};

struct EnabledCommands {
  bool newAddress = true;  // 100, button 181
  bool newGroup = false;   // 101, button 182
  bool find = false;       // 109, button 189
  bool remove = false;     // 105 in both menus, button 184
  bool properties = false; // 103 in both menus, button 183
  bool to = false;         // 102 in the main menu; applied only when there is a recipient box
  bool exportVCard = false; // 115
  bool undoDelete = false;  // 120 in both menus
  bool print = false;       // 104
  bool findDuplicates = false;  // 123
  int undoMenuText = 2074;      // 120's text id in the main menu (2071 after a merge)
  int undoPopupText = 2075;     // and in the popup (2073 after a merge)
};

EnabledCommands DecideEnabling(const EnablingInputs& in);
