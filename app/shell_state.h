// Program-wide state of the running address book, owned by the shell and living until shutdown.
#pragma once

#include <windows.h>

#include <string>

#include "app/panes/entry_view.h"
#include "app/panes/header_cells.h"
#include "app/settings_places.h"
#include "dialogs/delete_undo.h"
#include "dialogs/duplicate_merge.h"
#include "store/records.h"

struct ShellState {
  HINSTANCE instance = nullptr;
  int StartMode = 0;                 // 0 plain, 1 "/p", 2 "/o"
  HWND HostWindow = nullptr;         // found once at start in modes 1 and 2
  HWND mainWindow = nullptr;
  HWND FindDialogWindow = nullptr;   // the most recently opened Find dialog, while it exists
  int DialogActive = 0;              // nesting count of open dialogs; > 0 refuses the end of the log-on
  int language = 0;                  // "Application" "language", read once at start
  SettingsWrites settingsWrites;     // which "zuadr.ini" takes this run's settings writes

  AddressStore store;                // tables, indexes and the two data paths
  std::optional<DeleteUndo> deleteUndo;  // what the latest delete removed, until the book changes
  std::optional<MergeUndo> mergeUndo;    // what the latest merge of duplicates changed; one undo with the delete's

  // Panes (created by the layout); the recipient box and its children exist in modes 1 and 2 only.
  HWND toolbar = nullptr;
  HWND columnHeader = nullptr;
  HWND entryList = nullptr;          // control id 190
  HWND statusBar = nullptr;
  HWND recipientBox = nullptr;
  HWND toolbarButtons[5] = {};       // 181, 182, 183, 184, 189
  HWND toButton = nullptr;           // 186 ">>To"
  HWND recipientDeleteButton = nullptr;  // 187 "<<Delete"
  HWND sendButton = nullptr;         // 188 "Mail" / "Set"
  HWND recipientList = nullptr;      // 189
  HWND searchBox = nullptr;          // 191, in the toolbar
  EntryView entryView;               // what the entry list shows while the search box holds words

  HeaderCells headerCells;
  HFONT statusFont = nullptr;
  std::string statusNote;            // shown in the status bar until the first hint takes its place

  HICON appIcon = nullptr;
  HCURSOR arrowCursor = nullptr;
  HCURSOR itemCursor = nullptr;      // "ItemCur", used by the column header
  HMENU popupMenu = nullptr;         // "LOGMENU" + suffix
  HACCEL accelerators = nullptr;     // "KALBOOKACC"

  int nameSortToggle = 0;            // 0, then 1 ascending / 2 descending
  int mailSortToggle = 0;
  int lastSort = 0;                  // the sort command that gave the list its order, 0 for none
  uint32_t listSorts = 0;            // sorts run so far (an undo knows whether the order changed)
  char helpPath[260] = {};            // non-empty while help is open
  bool heightSnapPending = false;    // the layout's own height request is being handled
};

extern ShellState g_shell;

// Control and command identifiers shared across the panes.
enum : int {
  kEntryListId = 190,
  kToolbarNewAddress = 181, kToolbarNewGroup = 182, kToolbarProperties = 183,
  kToolbarDelete = 184, kToolbarFind = 189,
  kToButtonId = 186, kRecipientDeleteId = 187, kSendButtonId = 188, kRecipientListId = 189,
};

enum : int {
  kCmdNewAddress = 100, kCmdNewGroup = 101, kCmdTo = 102, kCmdProperties = 103, kCmdPrint = 104,
  kCmdDelete = 105, kCmdImportVCard = 106, kCmdImportNetscape = 107, kCmdImportEudora = 108,
  kCmdFind = 109, kCmdExit = 110, kCmdHelp = 111, kCmdAbout = 112, kCmdSortByName = 113,
  kCmdSortByMail = 114, kCmdExportVCard = 115,
  kCmdImportCsv = 116, kCmdImportLdif = 117, kCmdExportCsv = 118, kCmdExportLdif = 119,
};
enum : int { kCmdUndoDelete = 120 };
enum : int { kCmdSearch = 124, kSearchBoxId = 191 };
enum : int { kCmdSyncSettings = 121, kCmdSynchronize = 122, kCmdSyncReport = 125 };


enum : int { kCmdFindDuplicates = 123 };
