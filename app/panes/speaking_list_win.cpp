#include "app/panes/speaking_list_win.h"

#include <algorithm>
#include <unordered_set>

#include "app/panes/item_mirror.h"
#include "app/panes/selection_events.h"
#include "app/panes/type_ahead.h"
#include "app/settings.h"
#include "app/shell_state.h"
#include "win/accessible_object_win.h"
#include "win/list_box_win.h"

namespace {

constexpr int kTextBufferSize = 260;

struct SpeakingList {
  const ListSpeech* speech;
  WNDPROC listProc;  // the list box's own procedure, which does the rest
  TypeAheadText typed;
  ItemMirror mirror;
  std::vector<uint32_t> heard;  // the selected items readers were last told of, ascending
  bool heardMayHoldGone = false;  // items were removed from the list since
};

// Tells the mirror what a message did to the list's items.
void Follow(ItemMirror& mirror, UINT message, WPARAM wParam, LPARAM lParam, LRESULT result) {
  auto item = static_cast<uint32_t>(lParam);
  switch (message) {
    case LB_RESETCONTENT: mirror.Clear(); return;
    case LB_INITSTORAGE: mirror.Reserve(wParam); return;
    case LB_ADDSTRING:
    case LB_INSERTSTRING: mirror.Inserted(static_cast<long>(result), item); return;
    case LB_DELETESTRING:
      if (result != LB_ERR) mirror.Erased(wParam);
      return;
    case LB_SETITEMDATA:
      if (result != LB_ERR) mirror.Replaced(wParam, item);
      return;
  }
}

// The list's items from the mirror, read again from the list when it is out of step.
const std::vector<uint32_t>& MirroredItems(HWND list, ItemMirror& mirror) {
  if (!mirror.InStepWith(static_cast<size_t>(ListCount(list)))) mirror.ReadAgain(AllItemData(list));
  return mirror.items();
}

bool ChangesItems(UINT message) {
  return message == LB_RESETCONTENT || message == LB_INITSTORAGE || message == LB_ADDSTRING ||
         message == LB_INSERTSTRING || message == LB_DELETESTRING || message == LB_SETITEMDATA;
}


// A plain replaced window procedure: under Wine the common controls' subclassing made every
// message of a list several times dearer (a fill of 55,000 items took seconds longer). The
// state lives in the list's user data, which the list box itself does not use.
// A fill sends thousands of messages to one list in a row, and under Wine each look-up of the
// user data is a call into the window system: the last list's state is kept at hand.
struct StateCache {
  HWND list = nullptr;
  SpeakingList* state = nullptr;
};
StateCache g_lastAsked;

SpeakingList* StateOf(HWND list) {
  if (list != g_lastAsked.list || !g_lastAsked.state)
    g_lastAsked = {list, reinterpret_cast<SpeakingList*>(GetWindowLongPtrA(list, GWLP_USERDATA))};
  return g_lastAsked.state;
}

LRESULT CallListProc(HWND list, const SpeakingList& state, UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcA(state.listProc, list, message, wParam, lParam);
}

bool TakesSeveral(HWND list) { return (GetWindowLongA(list, GWL_STYLE) & (LBS_EXTENDEDSEL | LBS_MULTIPLESEL)) != 0; }

int Caret(HWND list) { return static_cast<int>(SendMessageA(list, LB_GETCARETINDEX, 0, 0)); }

bool IsShown(HWND list, int position) {
  int top = static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
  int height = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
  RECT client;
  GetClientRect(list, &client);
  return position >= top && height > 0 && (position - top) * height < client.bottom;
}

void NotifyCaret(HWND list) {
  if (GetFocus() != list) return;
  int caret = Caret(list);
  NotifyAccessibleEvent(EVENT_OBJECT_FOCUS, list, caret >= 0 && caret < ListCount(list) ? caret + 1 : 0);
}

void TellOwnerSelectionChanged(HWND list) {
  SendMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(list));
}

// The accessible object of every person list.
class PersonListModel : public AccessibleModel {
 public:
  long Role(HWND) const override { return ROLE_SYSTEM_LIST; }
  std::string Name(HWND list) const override {
    const SpeakingList* state = StateOf(list);
    return state ? state->speech->listName(list) : std::string();
  }
  long ExtraState(HWND list) const override {
    return STATE_SYSTEM_FOCUSABLE | (TakesSeveral(list) ? STATE_SYSTEM_EXTSELECTABLE | STATE_SYSTEM_MULTISELECTABLE : 0);
  }
  int ChildCount(HWND list) const override { return ListCount(list); }
  long ChildRole(HWND, int) const override { return ROLE_SYSTEM_LISTITEM; }
  std::string ChildName(HWND list, int child) const override {
    SpeakingList* state = StateOf(list);
    if (!state) return {};
    const std::vector<uint32_t>& items = MirroredItems(list, state->mirror);
    size_t position = static_cast<size_t>(child - 1);
    return position < items.size() ? state->speech->itemName(items[position]) : std::string();
  }
  long ChildState(HWND list, int child) const override {
    int position = child - 1;
    long state = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
    if (SendMessageA(list, LB_GETSEL, static_cast<WPARAM>(position), 0) > 0) state |= STATE_SYSTEM_SELECTED;
    if (GetFocus() == list && Caret(list) == position) state |= STATE_SYSTEM_FOCUSED;
    if (!IsShown(list, position)) state |= STATE_SYSTEM_OFFSCREEN | STATE_SYSTEM_INVISIBLE;
    return state;
  }
  bool ChildRect(HWND list, int child, RECT& box) const override {
    return SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(child - 1), reinterpret_cast<LPARAM>(&box)) != LB_ERR;
  }
  std::string ChildDefaultAction(HWND list, int) const override {
    return Opens(list) ? LocalizedText(163) : std::string();
  }
  // Opens the item as a double click does; posted, so that a reader waiting for the answer is
  // not held for as long as the dialog it opens stays up.
  bool DoChildDefaultAction(HWND list, int child) const override {
    if (!Opens(list)) return false;
    SelectAloneAsClick(list, child - 1);
    PostMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
    return true;
  }
  int FocusedChild(HWND list) const override {
    int caret = Caret(list);
    return caret >= 0 && caret < ListCount(list) ? caret + 1 : 0;
  }
  std::vector<int> SelectedChildren(HWND list) const override {
    std::vector<int> children;
    if (TakesSeveral(list)) {
      for (int position : SelectedPositions(list)) children.push_back(position + 1);
    } else if (int current = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0)); current >= 0) {
      children.push_back(current + 1);
    }
    return children;
  }
  bool SelectChild(HWND list, int child, long flags) const override;
  // From the top item and the fixed item height, without asking every item for its rectangle.
  int ChildAt(HWND list, POINT at) const override {
    int top = static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
    int height = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
    if (top < 0 || height <= 0 || at.y < 0) return 0;
    int position = top + at.y / height;
    return position < ListCount(list) ? position + 1 : 0;
  }

 private:
  static bool Opens(HWND list) {
    const SpeakingList* state = StateOf(list);
    return state && state->speech->opensOnDoubleClick;
  }
};

const PersonListModel kPersonListModel;

// Every item from the anchor to `position` takes the anchor's state, or the state the flags ask.
void ExtendSelection(HWND list, int position, long flags) {
  int anchor = static_cast<int>(SendMessageA(list, LB_GETANCHORINDEX, 0, 0));
  if (anchor < 0 || anchor >= ListCount(list)) anchor = position;
  bool take = (flags & SELFLAG_ADDSELECTION)      ? true
              : (flags & SELFLAG_REMOVESELECTION) ? false
                                                  : SendMessageA(list, LB_GETSEL, static_cast<WPARAM>(anchor), 0) > 0;
  int first = std::min(anchor, position), last = std::max(anchor, position);
  SendMessageA(list, LB_SELITEMRANGE, take, MAKELPARAM(first, last));
  SendMessageA(list, LB_SETANCHORINDEX, static_cast<WPARAM>(anchor), 0);
}

bool PersonListModel::SelectChild(HWND list, int child, long flags) const {
  int position = child - 1;
  bool several = TakesSeveral(list);
  if (!several && (flags & SELFLAG_EXTENDSELECTION)) return false;  // one item at most: nothing to extend
  if (flags & SELFLAG_TAKEFOCUS) SetFocus(list);
  if (flags & SELFLAG_TAKESELECTION) {
    SelectAloneAsClick(list, position);
    return true;
  }
  bool changes = (flags & (SELFLAG_ADDSELECTION | SELFLAG_REMOVESELECTION | SELFLAG_EXTENDSELECTION)) != 0;
  if (flags & SELFLAG_EXTENDSELECTION) {
    ExtendSelection(list, position, flags);
  } else if (changes) {
    BOOL take = (flags & SELFLAG_ADDSELECTION) != 0;
    if (several) {
      SendMessageA(list, LB_SETSEL, take, position);
      SendMessageA(list, LB_SETANCHORINDEX, static_cast<WPARAM>(position), 0);  // as a Ctrl+click
    }
    else {
      SendMessageA(list, LB_SETCURSEL, take ? static_cast<WPARAM>(position) : static_cast<WPARAM>(-1), 0);
    }
  }
  if (flags & SELFLAG_TAKEFOCUS) SendMessageA(list, several ? LB_SETCARETINDEX : LB_SETCURSEL, static_cast<WPARAM>(position), 0);
  if (changes) {
    TellOwnerSelectionChanged(list);
    NotifySelectionChanged(list);
  }
  if (flags & SELFLAG_TAKEFOCUS) NotifyCaret(list);
  return true;
}

// The typed character (in the program's code page), when it is a printable one.
bool PrintableChar(WPARAM typed, char& c) {
  if (typed < 0x20 || typed == 0x7F || typed > 0xFF) return false;
  c = static_cast<char>(typed);
  return true;
}

// A printable character moves the caret as the typed text says; a blank only within a text.
bool TypeAhead(HWND list, SpeakingList& state, char c) {
  DWORD now = GetTickCount();
  if (c == ' ' && !state.typed.Continues(now)) return false;
  state.typed.Type(c, now);
  if (!state.typed.EndsWithWholeCharacter()) return true;  // its trail byte comes next
  const std::vector<uint32_t>& items = MirroredItems(list, state.mirror);
  int target = FindTypeAheadTarget(static_cast<int>(items.size()), Caret(list), state.typed.MayStayOnCaret(),
                                   state.typed.SearchText(), g_shell.store.codePage, [&](int position) {
                                     return state.speech->itemDescription(items[static_cast<size_t>(position)]);
                                   });
  if (target >= 0) SelectAloneAsClick(list, target);
  return true;
}

// Input that may move the caret or change the selection: readers hear about the outcome.
LRESULT HandleInput(HWND list, const SpeakingList& state, UINT message, WPARAM wParam, LPARAM lParam) {
  int caret = Caret(list);
  LRESULT result = CallListProc(list, state, message, wParam, lParam);
  NotifySelectionChanged(list);
  if (Caret(list) != caret) NotifyCaret(list);
  return result;
}

void ForgetGoneItems(SpeakingList& state, const std::vector<uint32_t>& items);

LRESULT CALLBACK SpeakingListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
  SpeakingList* state = StateOf(list);
  if (!state) return DefWindowProcA(list, message, wParam, lParam);
  if (ChangesItems(message)) {
    // An item removed while selected and put back (Undo) is selected anew for readers.
    if ((message == LB_ADDSTRING || message == LB_INSERTSTRING) && state->heardMayHoldGone)
      ForgetGoneItems(*state, MirroredItems(list, state->mirror));
    LRESULT result = CallListProc(list, *state, message, wParam, lParam);
    Follow(state->mirror, message, wParam, lParam, result);
    if (message == LB_RESETCONTENT) state->heard.clear();
    if (message == LB_DELETESTRING) state->heardMayHoldGone = true;
    return result;
  }
  switch (message) {
    case WM_GETOBJECT:
      if (AsksForClientObject(lParam)) return AnswerGetObject(list, wParam, lParam, kPersonListModel);
      break;
    case WM_CHAR: {
      char typed;
      if (PrintableChar(wParam, typed) && TypeAhead(list, *state, typed)) return 0;
      break;
    }
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
      return HandleInput(list, *state, message, wParam, lParam);
    case WM_MOUSEMOVE:  // dragging over the items with the button held
      if (wParam & MK_LBUTTON) return HandleInput(list, *state, message, wParam, lParam);
      break;
    case WM_TIMER:  // the list scrolls on its own while a drag is held beyond its edge
      if (GetCapture() == list) return HandleInput(list, *state, message, wParam, lParam);
      break;
    case WM_SETFOCUS: {
      LRESULT result = CallListProc(list, *state, message, wParam, lParam);
      NotifyCaret(list);
      return result;
    }
    case WM_NCDESTROY: {
      SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(state->listProc));
      SetWindowLongPtrA(list, GWLP_USERDATA, 0);
      g_lastAsked = {};
      LRESULT result = CallListProc(list, *state, message, wParam, lParam);
      delete state;
      return result;
    }
  }
  return CallListProc(list, *state, message, wParam, lParam);
}

}  // namespace

void MakeListSpeak(HWND list, const ListSpeech& speech) {
  if (!list || StateOf(list)) return;
  auto* state = new SpeakingList{&speech, nullptr, TypeAheadText(g_shell.store.codePage), {}, {}, false};
  SetWindowLongPtrA(list, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
  state->listProc =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SpeakingListProc)));
  if (state->listProc) return;
  SetWindowLongPtrA(list, GWLP_USERDATA, 0);
  g_lastAsked = {};
  delete state;
}

std::vector<uint32_t> SpokenListItems(HWND list) {
  SpeakingList* state = StateOf(list);
  return state ? MirroredItems(list, state->mirror) : AllItemData(list);
}

void SelectAloneAsClick(HWND list, int position) {
  if (position < 0 || position >= ListCount(list)) return;
  if (TakesSeveral(list)) {
    SendMessageA(list, LB_SETSEL, FALSE, -1);
    SendMessageA(list, LB_SETSEL, TRUE, position);
    SendMessageA(list, LB_SETANCHORINDEX, static_cast<WPARAM>(position), 0);  // Shift extends from here, as after a click
    SendMessageA(list, LB_SETCARETINDEX, static_cast<WPARAM>(position), FALSE);
  } else {
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(position), 0);
  }
  TellOwnerSelectionChanged(list);
  NotifySelectionChanged(list);
  NotifyCaret(list);
}

std::string LocalizedText(UINT id) {
  char text[kTextBufferSize];
  LoadLocalString(g_shell.instance, id, text, sizeof text);
  return text;
}

namespace {

bool IsSearchEditBefore(HWND window) {
  char className[8] = {};
  GetClassNameA(window, className, sizeof className);
  return lstrcmpiA(className, "Edit") == 0;
}

}  // namespace

std::string LabelBefore(HWND control) {
  HWND label = GetWindow(control, GW_HWNDPREV);
  if (label && IsSearchEditBefore(label)) label = GetWindow(label, GW_HWNDPREV);  // the label stands before the box
  char text[kTextBufferSize] = "";
  if (label) GetWindowTextA(label, text, sizeof text);
  std::string name;
  for (const char* c = text; *c; ++c)
    if (*c != '&' || c[1] == '&') name.push_back(*c == '&' ? *++c : *c);
  return name;
}

void NotifyItemRenamed(HWND list, uint32_t itemData) {
  if (!list) return;
  int position = FindItemData(list, itemData);
  if (position >= 0) NotifyAccessibleEvent(EVENT_OBJECT_NAMECHANGE, list, position + 1);
}

namespace {

struct SelectedItem {
  uint32_t item;
  int position;
};

// The selected items with their positions, ordered by item.
std::vector<SelectedItem> SelectedNow(HWND list, const std::vector<uint32_t>& items) {
  std::vector<int> positions;
  if (TakesSeveral(list)) positions = SelectedPositions(list);
  else if (int current = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0)); current >= 0) positions.push_back(current);
  std::vector<SelectedItem> selected;
  selected.reserve(positions.size());
  for (int position : positions)
    if (static_cast<size_t>(position) < items.size()) selected.push_back({items[static_cast<size_t>(position)], position});
  std::sort(selected.begin(), selected.end(), [](const SelectedItem& a, const SelectedItem& b) { return a.item < b.item; });
  return selected;
}

// Items removed from the list since leave the selection readers know of without an event.
void ForgetGoneItems(SpeakingList& state, const std::vector<uint32_t>& items) {
  if (!state.heardMayHoldGone) return;
  state.heardMayHoldGone = false;
  std::unordered_set<uint32_t> missing(state.heard.begin(), state.heard.end());
  for (size_t i = 0; i < items.size() && !missing.empty(); ++i) missing.erase(items[i]);
  if (missing.empty()) return;
  state.heard.erase(std::remove_if(state.heard.begin(), state.heard.end(), [&](uint32_t item) { return missing.count(item) > 0; }),
                    state.heard.end());
}

void TellAddedAndRemoved(HWND list, const SelectionEvents& events, const std::vector<SelectedItem>& selected,
                         const std::vector<uint32_t>& items) {
  for (uint32_t item : events.added) {
    auto at = std::lower_bound(selected.begin(), selected.end(), item,
                               [](const SelectedItem& s, uint32_t wanted) { return s.item < wanted; });
    if (at != selected.end() && at->item == item) NotifyAccessibleEvent(EVENT_OBJECT_SELECTIONADD, list, at->position + 1);
  }
  for (uint32_t item : events.removed) {
    auto at = std::find(items.begin(), items.end(), item);
    if (at != items.end()) NotifyAccessibleEvent(EVENT_OBJECT_SELECTIONREMOVE, list, static_cast<int>(at - items.begin()) + 1);
  }
}

}  // namespace

void NotifySelectionChanged(HWND list) {
  SpeakingList* state = StateOf(list);
  if (!state) return;
  const std::vector<uint32_t>& items = MirroredItems(list, state->mirror);
  ForgetGoneItems(*state, items);
  std::vector<SelectedItem> selected = SelectedNow(list, items);
  std::vector<uint32_t> after;
  after.reserve(selected.size());
  for (const SelectedItem& s : selected) after.push_back(s.item);
  SelectionEvents events = DecideSelectionEvents(state->heard, after);
  state->heard = std::move(after);
  switch (events.kind) {
    case SelectionEvents::Kind::kNone: return;
    case SelectionEvents::Kind::kSelection:  // the one item selected now
      if (!selected.empty()) NotifyAccessibleEvent(EVENT_OBJECT_SELECTION, list, selected.front().position + 1);
      return;
    case SelectionEvents::Kind::kAddRemove: TellAddedAndRemoved(list, events, selected, items); return;
    case SelectionEvents::Kind::kWithin: NotifyAccessibleEvent(EVENT_OBJECT_SELECTIONWITHIN, list, 0); return;
  }
}
