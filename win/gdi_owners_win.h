// Owners for GDI objects, selections, device contexts and kernel handles, each released at the
// end of its scope, and the one line-drawing step the painters share.
#pragma once

#include <windows.h>

// Selects an object into a device context for the lifetime of the guard; none selects nothing.
class SelectGuard {
 public:
  SelectGuard(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
  ~SelectGuard() {
    if (previous_) SelectObject(dc_, previous_);
  }
  SelectGuard(const SelectGuard&) = delete;
  SelectGuard& operator=(const SelectGuard&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// Owns a pen, brush, font or bitmap and deletes it at the end of its scope or on reset.
template <typename Handle>
class OwnedGdi {
 public:
  OwnedGdi() = default;
  explicit OwnedGdi(Handle object) : object_(object) {}
  ~OwnedGdi() { reset(); }
  OwnedGdi(const OwnedGdi&) = delete;
  OwnedGdi& operator=(const OwnedGdi&) = delete;

  void reset(Handle object = nullptr) {
    if (object_) DeleteObject(object_);
    object_ = object;
  }
  Handle get() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }

 private:
  Handle object_ = nullptr;
};
using GdiObject = OwnedGdi<HGDIOBJ>;
using OwnedFont = OwnedGdi<HFONT>;
using OwnedPen = OwnedGdi<HPEN>;

// A window's device context, released at the end of its scope.
class WindowDC {
 public:
  explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDC() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// BeginPaint for the scope, EndPaint at its end. Declared before any SelectGuard of the same
// painting, it outlives them, so nothing stays selected into the released device context.
class PaintDC {
 public:
  explicit PaintDC(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) { GetClientRect(window, &client_); }
  ~PaintDC() { EndPaint(window_, &paint_); }
  PaintDC(const PaintDC&) = delete;
  PaintDC& operator=(const PaintDC&) = delete;
  HDC get() const { return dc_; }
  const RECT& client() const { return client_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_ = {};
  HDC dc_;
  RECT client_ = {};
};

// A file (or other kernel) handle closed when it goes out of scope.
class OwnedFile {
 public:
  explicit OwnedFile(HANDLE handle) : handle_(handle) {}
  ~OwnedFile() {
    if (valid()) CloseHandle(handle_);
  }
  OwnedFile(const OwnedFile&) = delete;
  OwnedFile& operator=(const OwnedFile&) = delete;
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// A line from (x0, y0) up to but excluding (x1, y1) in the selected pen.
inline void DrawLine(HDC dc, int x0, int y0, int x1, int y1) {
  MoveToEx(dc, x0, y0, nullptr);
  LineTo(dc, x1, y1);
}
