#include "win/accessible_object_win.h"

#include <new>

namespace {

const IID kIidUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID kIidDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID kIidEnumVariant = {0x00020404, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

BSTR ToBstr(const std::string& text) {
  int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  BSTR result = SysAllocStringLen(nullptr, static_cast<UINT>(length));
  if (result && length > 0)
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), result, length);
  return result;
}

HRESULT AnswerText(const std::string& text, BSTR* out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (text.empty()) return S_FALSE;
  *out = ToBstr(text);
  return *out ? S_OK : E_OUTOFMEMORY;
}

void SetChildVariant(VARIANT* out, int child) {
  VariantInit(out);
  out->vt = VT_I4;
  out->lVal = child;
}

// Reference counting of the COM objects below: each starts with one reference, its maker's.
template <typename Interface>
class Counted : public Interface {
 public:
  virtual ~Counted() = default;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

 private:
  ULONG references_ = 1;
};

// The children a selection holds, handed out one by one.
class ChildEnumeration : public Counted<IEnumVARIANT> {
 public:
  ChildEnumeration(std::vector<int> children, size_t next) : children_(std::move(children)), next_(next) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(iid, kIidUnknown) && !IsEqualIID(iid, kIidEnumVariant)) return E_NOINTERFACE;
    *out = static_cast<IEnumVARIANT*>(this);
    AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Next(ULONG wanted, VARIANT* out, ULONG* fetched) override {
    if (!out) return E_POINTER;
    ULONG given = 0;
    for (; given < wanted && next_ < children_.size(); ++given) SetChildVariant(&out[given], children_[next_++]);
    if (fetched) *fetched = given;
    return given == wanted ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
    next_ += count;
    if (next_ <= children_.size()) return S_OK;
    next_ = children_.size();
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Reset() override {
    next_ = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** out) override {
    if (!out) return E_POINTER;
    *out = new (std::nothrow) ChildEnumeration(children_, next_);
    return *out ? S_OK : E_OUTOFMEMORY;
  }

 private:
  std::vector<int> children_;
  size_t next_;
};

// One window's accessible object. It may outlive its window (a reader holds it across
// processes): every question first checks that the window still exists.
class WindowAccessible : public Counted<IAccessible> {
 public:
  WindowAccessible(HWND window, const AccessibleModel& model) : window_(window), model_(model) {}

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(iid, kIidUnknown) && !IsEqualIID(iid, kIidDispatch) && !IsEqualIID(iid, kIidAccessible))
      return E_NOINTERFACE;
    *out = static_cast<IAccessible*>(this);
    AddRef();
    return S_OK;
  }

  // IDispatch: not offered; readers call IAccessible directly.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }

  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    if (!parent) return E_POINTER;
    *parent = nullptr;
    if (!Alive()) return E_FAIL;
    return AccessibleObjectFromWindow(window_, static_cast<DWORD>(OBJID_WINDOW), kIidDispatch,
                                      reinterpret_cast<void**>(parent));
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
    if (!count) return E_POINTER;
    *count = Alive() ? model_.ChildCount(window_) : 0;
    return Alive() ? S_OK : E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT which, IDispatch** child) override {
    if (!child) return E_POINTER;
    *child = nullptr;
    int number;
    if (!Resolve(which, number) || number == 0) return E_INVALIDARG;
    return S_FALSE;  // the children are simple elements of this object
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT which, BSTR* name) override {
    int child;
    if (!name) return E_POINTER;
    *name = nullptr;
    if (!Resolve(which, child)) return E_INVALIDARG;
    return AnswerText(child == 0 ? model_.Name(window_) : model_.ChildName(window_, child), name);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT, BSTR* value) override { return AnswerText({}, value); }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR* text) override { return AnswerText({}, text); }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT which, VARIANT* role) override {
    int child;
    if (!role) return E_POINTER;
    if (!Resolve(which, child)) return E_INVALIDARG;
    SetChildVariant(role, child == 0 ? model_.Role(window_) : model_.ChildRole(window_, child));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT which, VARIANT* state) override {
    int child;
    if (!state) return E_POINTER;
    if (!Resolve(which, child)) return E_INVALIDARG;
    SetChildVariant(state, child == 0 ? WindowState() : model_.ChildState(window_, child));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* help) override { return AnswerText({}, help); }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
    if (!file || !topic) return E_POINTER;
    *file = nullptr;
    *topic = 0;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* keys) override { return AnswerText({}, keys); }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
    if (!focus) return E_POINTER;
    VariantInit(focus);
    if (!Alive()) return E_FAIL;
    if (GetFocus() != window_) return S_FALSE;
    SetChildVariant(focus, model_.FocusedChild(window_));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    if (!selection) return E_POINTER;
    VariantInit(selection);
    if (!Alive()) return E_FAIL;
    std::vector<int> selected = model_.SelectedChildren(window_);
    if (selected.empty()) return S_FALSE;
    if (selected.size() == 1) {
      SetChildVariant(selection, selected.front());
      return S_OK;
    }
    auto* children = new (std::nothrow) ChildEnumeration(std::move(selected), 0);
    if (!children) return E_OUTOFMEMORY;
    selection->vt = VT_UNKNOWN;
    selection->punkVal = children;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT which, BSTR* action) override {
    int child;
    if (!action) return E_POINTER;
    *action = nullptr;
    if (!Resolve(which, child)) return E_INVALIDARG;
    return AnswerText(child == 0 ? model_.DefaultAction(window_) : model_.ChildDefaultAction(window_, child), action);
  }
  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT which) override {
    int child;
    if (!Resolve(which, child) || !ValidSelectionFlags(flags)) return E_INVALIDARG;
    if (flags == SELFLAG_NONE) return S_OK;
    if (child == 0) {
      if (!(flags & SELFLAG_TAKEFOCUS)) return E_INVALIDARG;
      SetFocus(window_);
      return S_OK;
    }
    return model_.SelectChild(window_, child, flags) ? S_OK : E_INVALIDARG;
  }
  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT which) override {
    int child;
    if (!left || !top || !width || !height) return E_POINTER;
    *left = *top = *width = *height = 0;
    if (!Resolve(which, child)) return E_INVALIDARG;
    RECT box;
    if (child == 0) {
      GetClientRect(window_, &box);
    } else if (!model_.ChildRect(window_, child, box)) {
      return S_FALSE;
    }
    MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&box), 2);
    *left = box.left;
    *top = box.top;
    *width = box.right - box.left;
    *height = box.bottom - box.top;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
    int child;
    if (!end) return E_POINTER;
    VariantInit(end);
    if (!Resolve(start, child)) return E_INVALIDARG;
    int count = model_.ChildCount(window_);
    int to = 0;
    switch (direction) {
      case NAVDIR_FIRSTCHILD: to = child == 0 && count > 0 ? 1 : 0; break;
      case NAVDIR_LASTCHILD: to = child == 0 ? count : 0; break;
      case NAVDIR_NEXT:
      case NAVDIR_DOWN: to = child > 0 && child < count ? child + 1 : 0; break;
      case NAVDIR_PREVIOUS:
      case NAVDIR_UP: to = child > 1 ? child - 1 : 0; break;
      default: return S_FALSE;  // left and right, or beyond this object: not answered here
    }
    if (to == 0) return S_FALSE;
    SetChildVariant(end, to);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* hit) override {
    if (!hit) return E_POINTER;
    VariantInit(hit);
    if (!Alive()) return E_FAIL;
    POINT at = {x, y};
    ScreenToClient(window_, &at);
    RECT client;
    GetClientRect(window_, &client);
    if (!PtInRect(&client, at)) return S_FALSE;
    int child = model_.ChildAt(window_, at);
    SetChildVariant(hit, child >= 1 && child <= model_.ChildCount(window_) ? child : 0);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT which) override {
    int child;
    if (!Resolve(which, child)) return E_INVALIDARG;
    if (child == 0) return model_.DoDefaultAction(window_) ? S_OK : DISP_E_MEMBERNOTFOUND;
    return model_.DoChildDefaultAction(window_, child) ? S_OK : DISP_E_MEMBERNOTFOUND;
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

 private:
  bool Alive() const { return IsWindow(window_) != FALSE; }

  // The child a VARIANT names: 0 for the window itself; false for none this object has.
  bool Resolve(const VARIANT& which, int& child) const {
    if (!Alive() || which.vt != VT_I4) return false;
    child = static_cast<int>(which.lVal);
    return child >= 0 && child <= model_.ChildCount(window_);
  }

  long WindowState() const {
    long state = model_.ExtraState(window_);
    if (!IsWindowVisible(window_)) state |= STATE_SYSTEM_INVISIBLE;
    if (!IsWindowEnabled(window_)) state |= STATE_SYSTEM_UNAVAILABLE;
    if (GetWindowLongA(window_, GWL_STYLE) & WS_TABSTOP) state |= STATE_SYSTEM_FOCUSABLE;
    if (GetFocus() == window_) state |= STATE_SYSTEM_FOCUSED;
    return state;
  }

  HWND window_;
  const AccessibleModel& model_;
};

}  // namespace

int AccessibleModel::ChildAt(HWND window, POINT client) const {
  int count = ChildCount(window);
  for (int child = 1; child <= count; ++child) {
    RECT box;
    if (ChildRect(window, child, box) && PtInRect(&box, client)) return child;
  }
  return 0;
}

bool ValidSelectionFlags(long flags) {
  if (flags & ~static_cast<long>(SELFLAG_VALID)) return false;
  if ((flags & SELFLAG_ADDSELECTION) && (flags & SELFLAG_REMOVESELECTION)) return false;
  return !(flags & SELFLAG_TAKESELECTION) ||
         !(flags & (SELFLAG_ADDSELECTION | SELFLAG_REMOVESELECTION | SELFLAG_EXTENDSELECTION));
}

const IID kIidAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

LRESULT AnswerGetObject(HWND window, WPARAM wParam, LPARAM lParam, const AccessibleModel& model) {
  if (!AsksForClientObject(lParam)) return 0;
  auto* object = new (std::nothrow) WindowAccessible(window, model);
  if (!object) return 0;
  LRESULT answer = LresultFromObject(kIidAccessible, wParam, object);
  object->Release();
  return answer;
}

void NotifyAccessibleEvent(DWORD event, HWND window, int child) {
  if (window) NotifyWinEvent(event, window, OBJID_CLIENT, child);
}
