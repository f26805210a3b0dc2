#include "app/command_enabling.h"

EnabledCommands DecideEnabling(const EnablingInputs& in) {
  EnabledCommands out;
  out.newAddress = true;
  out.newGroup = in.count > 0 && in.livePerson;
  out.find = in.count > 0;
  out.remove = in.selected > 0;
  out.properties = in.selected == 1;
  out.to = in.recipientBox && in.selected > 0;
  out.exportVCard = in.livePerson;
  out.undoDelete = in.undoDelete || in.undoMerge;  // one undo: the newer change's
  out.print = in.count > 0;
  out.findDuplicates = in.livePerson;
  out.undoMenuText = in.undoMerge ? 2071 : 2074;
  out.undoPopupText = in.undoMerge ? 2073 : 2075;
  return out;
}
