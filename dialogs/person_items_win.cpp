// Owner-drawn person items of the member lists: the person picture, a blank and the description.
#include <string>

#include "app/shell_state.h"
#include "app/startup.h"
#include "app/panes/entry_texts.h"
#include "app/panes/item_ref.h"
#include "app/panes/panes.h"
#include "app/panes/speaking_list_win.h"
#include "dialogs/dialog_runs_win.h"
#include "dialogs/editing.h"
#include "win/gdi_owners_win.h"
#include "win/owner_drawn_items_win.h"
#include "win/picture_surface_win.h"
#include "win/text_metrics_win.h"

namespace {

constexpr int kPersonBitmapId = 118;
constexpr int kPictureWidth = 22;
constexpr int kPictureHeight = 16;

DialogFont GroupDialogFont;
PictureSurface personPicture;

const char* DescriptionOf(ItemRef item) {
  const auto& persons = g_shell.store.persons;
  uint32_t slot = ItemSlot(item);
  return slot < persons->used ? (*persons)[slot].description : "";
}

void DrawPictureAndText(const DRAWITEMSTRUCT& request) {
  if (!g_shell.store.persons) return;
  const RECT& item = request.rcItem;
  HDC dc = request.hDC;
  int itemHeight = item.bottom - item.top;
  personPicture.Draw(dc, item.left, item.top + (itemHeight - kPictureHeight) / 2, kPictureWidth, kPictureHeight);

  SelectGuard font(dc, GroupDialogFont.OrSystem());
  TEXTMETRICA metrics = {};
  GetTextMetricsA(dc, &metrics);
  RECT textArea = {item.left + kPictureWidth, item.top, item.right, item.bottom};
  std::string text = std::string(" ") + DescriptionOf(static_cast<ItemRef>(request.itemData));
  ExtTextOutA(dc, textArea.left, item.top + (itemHeight - metrics.tmHeight) / 2, ETO_OPAQUE | ETO_CLIPPED, &textArea,
              text.c_str(), static_cast<UINT>(text.size()), nullptr);
}

std::string_view Description(uint32_t itemData) {
  return g_shell.store.persons ? EntryDescription(g_shell.store, itemData) : std::string_view();
}

std::string SpokenDescription(uint32_t itemData) { return std::string(Description(itemData)); }

const ListSpeech kMemberListSpeech = {LabelBefore, SpokenDescription, Description, true};
const ListSpeech kChoiceListSpeech = {LabelBefore, SpokenDescription, Description, false};

}  // namespace

void MakePersonListSpeak(HWND list, bool opensOnDoubleClick) {
  MakeListSpeak(list, opensOnDoubleClick ? kMemberListSpeech : kChoiceListSpeech);
}

void MakePersonItemResources() {
  if (!GroupDialogFont.exists()) GroupDialogFont.Adopt(CreateFontFromSet(StandardFontSet));
  personPicture.Load(g_shell.instance, kPersonBitmapId);
}

void ReleasePersonItemResources() {
  personPicture.Release();
  GroupDialogFont.Release();
}

const DialogFont& GroupDialogFontOf() { return GroupDialogFont; }

void MeasurePersonItem(HWND dialog, MEASUREITEMSTRUCT* request) {
  int textHeight = PaddedTextHeight(dialog, GroupDialogFont.OrSystem());
  int pictureHeight = personPicture.height();
  request->itemHeight = static_cast<UINT>(textHeight > pictureHeight ? textHeight : pictureHeight);
  if (request->itemHeight == 0) request->itemHeight = kPictureHeight;
}

void DrawPersonItem(const DRAWITEMSTRUCT* request) {
  if (request) DrawOwnerDrawnItem(*request, EntryListSelectionColours(), DrawPictureAndText);
}
