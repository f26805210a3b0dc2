// The main window's command table.
#include "app/help.h"
#include "app/main_window.h"
#include "app/shell_state.h"
#include "app/sort_commands.h"
#include "app/panes/search_box_win.h"
#include "dialogs/duplicates.h"
#include "dialogs/editing.h"
#include "export/export_command.h"
#include "handoff/recipient_box.h"
#include "import/import_command.h"
#include "print/print_command.h"
#include "sync/sync_shell_win.h"
#include "win/list_box_win.h"

namespace {

constexpr WORD kFromAccelerator = 1;
constexpr WORD kListDoubleClick = LBN_DBLCLK;  // 2

// A key's command counts only when the main menu has no such item or the item is enabled.
bool MenuRefusesKey(HWND mainWindow, int command) {
  UINT state = GetMenuState(GetMenu(mainWindow), command, MF_BYCOMMAND);
  return state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED));
}

void DeleteSelection(HWND mainWindow) {
  std::vector<ItemRef> recipientsBefore = AllItemData(g_shell.recipientList);
  DropDeletedRecipients();
  DeleteSelectedEntries(mainWindow, kEntryListId, recipientsBefore);
  RemoveSelectedItems(mainWindow, kEntryListId);
}

// Runs a command; true when command enabling should follow.
bool RunCommand(HWND mainWindow, int command) {
  switch (command) {
    case kCmdNewAddress: ShowPersonDialog(mainWindow); return true;
    case kCmdNewGroup: ShowGroupDialog(mainWindow); return true;
    case kCmdTo:
      if (g_shell.recipientBox) SendMessageA(g_shell.recipientBox, WM_COMMAND, kToButtonId, 0);
      return false;
    case kCmdProperties: ShowProperties(mainWindow, kEntryListId); return true;  // an edit ends Undo delete
    case kCmdPrint: PrintEntries(mainWindow); return false;
    case kCmdDelete: DeleteSelection(mainWindow); return true;
    case kCmdImportVCard:
    case kCmdImportNetscape:
    case kCmdImportEudora: ImportAddressBook(mainWindow, command); return true;  // export may follow
    case kCmdExportVCard: ExportAddressBook(mainWindow); return false;
    case kCmdImportCsv:
    case kCmdImportLdif: ImportContactsFile(mainWindow, command); return true;
    case kCmdExportCsv:
    case kCmdExportLdif: ExportContactsFile(mainWindow, command); return false;
    case kCmdFind: ShowFindDialog(mainWindow); return false;
    case kCmdExit: SendMessageA(mainWindow, WM_CLOSE, 0, 0); return false;
    case kCmdHelp: OpenHelp(mainWindow); return false;
    case kCmdAbout: ShowAboutDialog(mainWindow); return false;
    case kCmdSortByName: SortEntriesByName(); return true;
    case kCmdSortByMail: SortEntriesByMail(); return true;
    case kCmdSearch: FocusSearchBox(); return false;
    case kCmdSyncSettings: ShowSyncSettings(mainWindow); return true;
    case kCmdSynchronize: SynchronizeOrStop(mainWindow); return true;
    case kCmdSyncReport: ShowSyncReport(mainWindow); return false;
    case kCmdUndoDelete: UndoLatestChange(mainWindow); return true;
    case kCmdFindDuplicates: ShowDuplicatesDialog(mainWindow); return true;
  }
  return false;
}

bool IsTableCommand(int command) {
  return (command >= kCmdNewAddress && command <= kCmdExportVCard) ||
         (command >= kCmdImportCsv && command <= kCmdExportLdif) || command == kCmdUndoDelete ||
         command == kCmdSearch || command == kCmdFindDuplicates ||
         command == kCmdSyncSettings || command == kCmdSynchronize || command == kCmdSyncReport;
}

}  // namespace

bool HandleCommand(HWND mainWindow, WPARAM wParam) {
  int command = LOWORD(wParam);
  WORD code = HIWORD(wParam);
  if (command == kEntryListId) {
    RunCommandEnabling(mainWindow);
    if (code == kListDoubleClick) {
      ShowProperties(mainWindow, kEntryListId);
      RunCommandEnabling(mainWindow);  // an edit ends Undo delete
    }
    return true;
  }
  if (!IsTableCommand(command)) return false;
  if (code == kFromAccelerator && MenuRefusesKey(mainWindow, command)) return true;
  if (RunCommand(mainWindow, command)) RunCommandEnabling(mainWindow);
  return true;
}
