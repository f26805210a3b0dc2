#include "win/dialog_frame_win.h"

namespace {

constexpr COLORREF kLightGray = RGB(192, 192, 192);

HFONT SystemFont() { return static_cast<HFONT>(GetStockObject(SYSTEM_FONT)); }

}  // namespace

bool IsLightGrayRequest(UINT message) {
  return message == WM_CTLCOLORDLG || message == WM_CTLCOLORBTN || message == WM_CTLCOLORSTATIC;
}

INT_PTR PaintLightGray(WPARAM deviceContext) {
  SetBkColor(reinterpret_cast<HDC>(deviceContext), kLightGray);
  return reinterpret_cast<INT_PTR>(GetStockObject(LTGRAY_BRUSH));  // stock: never released
}

void SetControlFont(HWND control, HFONT font, bool redraw) {
  if (control) SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw ? TRUE : FALSE);
}

void DialogFont::Adopt(HFONT font) {
  Release();
  font_ = font;
}

void DialogFont::Release() {
  if (font_) DeleteObject(font_);
  font_ = nullptr;
}

HFONT DialogFont::OrSystem() const { return font_ ? font_ : SystemFont(); }

void DialogFont::ApplyTo(HWND dialog, std::initializer_list<int> ids) const {
  for (int id : ids) SetControlFont(GetDlgItem(dialog, id), OrSystem());
}

void DialogFont::RestoreSystemFont(HWND dialog, std::initializer_list<int> ids) const {
  if (!font_) return;
  for (int id : ids) SetControlFont(GetDlgItem(dialog, id), SystemFont());
}
