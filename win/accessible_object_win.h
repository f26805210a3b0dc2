// The program's own accessible objects (IAccessible), answered through WM_GETOBJECT for
// OBJID_CLIENT. A window's object asks an AccessibleModel, which reads the window's current state
// each time it is asked: nothing is copied when the object is made.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <string>
#include <vector>

extern const IID kIidAccessible;  // -loleacc's IID_IAccessible is an import thunk under mingw

// What one kind of window tells a screen reader. Children are numbered from 1; the model is
// asked only about children from 1 to ChildCount.
class AccessibleModel {
 public:
  virtual ~AccessibleModel() = default;
  virtual long Role(HWND window) const = 0;
  virtual std::string Name(HWND window) const = 0;
  // Unavailable, invisible, focusable and focused come from the window itself.
  virtual long ExtraState(HWND) const { return 0; }
  virtual int ChildCount(HWND window) const = 0;
  virtual long ChildRole(HWND window, int child) const = 0;
  virtual std::string ChildName(HWND window, int child) const = 0;
  virtual long ChildState(HWND window, int child) const = 0;
  virtual bool ChildRect(HWND window, int child, RECT& client) const = 0;  // client coordinates
  virtual std::string ChildDefaultAction(HWND, int) const { return {}; }
  virtual bool DoChildDefaultAction(HWND, int) const { return false; }
  // The window's own default action (a button's press); none by default.
  virtual std::string DefaultAction(HWND) const { return {}; }
  virtual bool DoDefaultAction(HWND) const { return false; }
  // The child under a point of the client area, 0 for the window itself; by default each
  // child's rectangle is asked in turn, which suits a few children only.
  virtual int ChildAt(HWND window, POINT client) const;
  virtual int FocusedChild(HWND) const { return 0; }  // 0: the window itself
  virtual std::vector<int> SelectedChildren(HWND) const { return {}; }
  // Called with a valid flag combination only (see ValidSelectionFlags).
  virtual bool SelectChild(HWND, int, long /*SELFLAG_...*/) const { return false; }
};

// False for what accSelect refuses: unknown bits, adding and removing at once, or taking the
// selection together with adding, removing or extending it.
bool ValidSelectionFlags(long flags);

// True for WM_GETOBJECT's request of the client object, the one the program answers itself.
inline bool AsksForClientObject(LPARAM lParam) { return static_cast<LONG>(lParam) == static_cast<LONG>(OBJID_CLIENT); }

// The answer to WM_GETOBJECT for OBJID_CLIENT: a new object of the window over the model.
LRESULT AnswerGetObject(HWND window, WPARAM wParam, LPARAM lParam, const AccessibleModel& model);

// Tells listening screen readers about a change (child 0: the window itself).
void NotifyAccessibleEvent(DWORD event, HWND window, int child);
