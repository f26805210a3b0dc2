#include "win/picture_surface_win.h"

bool PictureSurface::Load(HINSTANCE instance, int bitmapId) {
  if (dc_) return true;
  HBITMAP bitmap = LoadBitmapA(instance, MAKEINTRESOURCEA(bitmapId));
  HDC dc = bitmap ? CreateCompatibleDC(nullptr) : nullptr;
  if (!dc) {
    if (bitmap) DeleteObject(bitmap);
    return false;
  }
  dc_ = dc;
  bitmap_ = bitmap;
  previous_ = SelectObject(dc_, bitmap_);
  return true;
}

void PictureSurface::Release() {
  if (!dc_) return;
  SelectObject(dc_, previous_);
  DeleteObject(bitmap_);
  DeleteDC(dc_);
  dc_ = nullptr;
  bitmap_ = nullptr;
  previous_ = nullptr;
}

int PictureSurface::height() const {
  BITMAP info = {};
  return bitmap_ && GetObjectA(bitmap_, sizeof info, &info) ? info.bmHeight : 0;
}

void PictureSurface::Draw(HDC target, int x, int y, int width, int height) const {
  if (dc_) BitBlt(target, x, y, width, height, dc_, 0, 0, SRCCOPY);
}
