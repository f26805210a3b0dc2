#include "app/command_enabling.h"

#include "app/main_window.h"
#include "app/settings.h"
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

// Only a text that differs is set, so the menus are not rebuilt at every notification.
void SetMenuText(HMENU menu, int command, int textId) {
  if (!menu) return;
  char text[256] = {}, now[256] = {};
  LoadLocalString(g_shell.instance, static_cast<UINT>(textId), text, sizeof text);
  GetMenuStringA(menu, static_cast<UINT>(command), now, sizeof now, MF_BYCOMMAND);
  if (text[0] && lstrcmpA(text, now) != 0)
    ModifyMenuA(menu, static_cast<UINT>(command), MF_BYCOMMAND | MF_STRING, static_cast<UINT_PTR>(command), text);
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
  in.undoMerge = g_shell.mergeUndo && CanUndoMerge(g_shell.store, *g_shell.mergeUndo);
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
  SetMenuText(menu, kCmdUndoDelete, on.undoMenuText);
  SetMenuText(g_shell.popupMenu, kCmdUndoDelete, on.undoPopupText);
  SetMenuItem(menu, kCmdUndoDelete, on.undoDelete);
  SetMenuItem(g_shell.popupMenu, kCmdUndoDelete, on.undoDelete);
  SetMenuItem(menu, kCmdPrint, on.print);
  UpdateSyncMenu(menu);


  SetMenuItem(menu, kCmdFindDuplicates, on.findDuplicates);
  if (in.recipientBox) {
    SetMenuItem(menu, kCmdTo, on.to);
    UpdateRecipientControls();
  }
  RefreshSearchStatus();  // the shown count follows every change of the list
}
