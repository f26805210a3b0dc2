#include "app/command_enabling.h"

#include "app/main_window.h"
#include "app/shell_state.h"
#include "app/panes/search_box_win.h"
#include "handoff/recipient_box.h"
#include "store/records.h"
#include "sync/sync_shell_win.h"

namespace {

int ListCount(HWND list, UINT message) {
  if (!list) return 0;
  LRESULT n = SendMessageA(list, message, 0, 0);
  return n > 0 ? static_cast<int>(n) : 0;
}

void SetMenuItem(HMENU menu, int command, bool enabled) {
  if (menu) EnableMenuItem(menu, command, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void SetButton(HWND button, bool enabled) {
  if (button) EnableWindow(button, enabled);
}

}  // namespace

void RunCommandEnabling(HWND mainWindow) {
  EnablingInputs in;
  in.count = ListCount(g_shell.entryList, LB_GETCOUNT);
  in.selected = ListCount(g_shell.entryList, LB_GETSELCOUNT);
  in.livePerson = HasLivePerson(g_shell.store);
  in.recipientBox = g_shell.recipientBox != nullptr;
  in.undoDelete = g_shell.deleteUndo && CanUndoDelete(g_shell.store, *g_shell.deleteUndo);
  EnabledCommands on = DecideEnabling(in);

  HMENU menu = GetMenu(mainWindow);
  HWND* buttons = g_shell.toolbarButtons;  // 181, 182, 183, 184, 189
  SetMenuItem(menu, kCmdNewAddress, on.newAddress);
  SetButton(buttons[0], on.newAddress);
  SetMenuItem(menu, kCmdNewGroup, on.newGroup);
  SetButton(buttons[1], on.newGroup);
  SetMenuItem(menu, kCmdFind, on.find);
  SetButton(buttons[4], on.find);
  SetMenuItem(menu, kCmdDelete, on.remove);
  SetMenuItem(g_shell.popupMenu, kCmdDelete, on.remove);
  SetButton(buttons[3], on.remove);
  SetMenuItem(menu, kCmdProperties, on.properties);
  SetMenuItem(g_shell.popupMenu, kCmdProperties, on.properties);
  SetButton(buttons[2], on.properties);
  SetMenuItem(menu, kCmdExportVCard, on.exportVCard);
  SetMenuItem(menu, kCmdExportCsv, on.exportVCard);  // every export is offered alike
  SetMenuItem(menu, kCmdExportLdif, on.exportVCard);
  SetMenuItem(menu, kCmdUndoDelete, on.undoDelete);
  SetMenuItem(g_shell.popupMenu, kCmdUndoDelete, on.undoDelete);
  SetMenuItem(menu, kCmdPrint, on.print);
  UpdateSyncMenu(menu);
  if (in.recipientBox) {
    SetMenuItem(menu, kCmdTo, on.to);
    UpdateRecipientControls();
  }
  RefreshSearchStatus();  // the shown count follows every change of the list
}
