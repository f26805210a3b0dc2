// What every dialog frame shares: the light-grey painting and a font handed to a set of
// controls, taken back (the stock system font put in its place) before it goes.
#pragma once

#include <windows.h>

#include <initializer_list>

// Light-grey dialog background, buttons and static texts (WM_CTLCOLORDLG/BTN/STATIC).
bool IsLightGrayRequest(UINT message);
INT_PTR PaintLightGray(WPARAM deviceContext);

// WM_SETFONT on one control; a missing control is passed over.
void SetControlFont(HWND control, HFONT font, bool redraw = false);

// A dialog's own font; controls take the stock system font while there is none.
class DialogFont {
 public:
  DialogFont() = default;
  DialogFont(const DialogFont&) = delete;
  DialogFont& operator=(const DialogFont&) = delete;
  ~DialogFont() { Release(); }

  void Adopt(HFONT font);  // releases the font held before
  void Release();
  bool exists() const { return font_ != nullptr; }
  HFONT OrSystem() const;
  // The font (or the system font) on each listed control of the dialog.
  void ApplyTo(HWND dialog, std::initializer_list<int> ids) const;
  // The system font back on the listed controls, only while a font of its own exists.
  void RestoreSystemFont(HWND dialog, std::initializer_list<int> ids) const;

 private:
  HFONT font_ = nullptr;
};
