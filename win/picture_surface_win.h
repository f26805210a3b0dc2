// A bitmap resource held selected in a memory drawing surface compatible with the screen: the
// person and group pictures of the entry list, the member lists and the recipient list.
#pragma once

#include <windows.h>

class PictureSurface {
 public:
  PictureSurface() = default;
  PictureSurface(const PictureSurface&) = delete;
  PictureSurface& operator=(const PictureSurface&) = delete;
  ~PictureSurface() { Release(); }

  // Loads the picture once; a failure leaves no picture and yields false.
  bool Load(HINSTANCE instance, int bitmapId);
  // Puts the surface's previous bitmap back, then deletes the picture and the surface.
  void Release();

  explicit operator bool() const { return dc_ != nullptr; }
  HDC dc() const { return dc_; }
  int height() const;  // 0 without a picture
  // Copies width x height pixels of the picture unchanged to (x, y); nothing without one.
  void Draw(HDC target, int x, int y, int width, int height) const;

 private:
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
};
