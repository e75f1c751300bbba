#pragma once
// A control's picture built off screen: the control's background copied into
// a bitmap of its client size, drawn over, then shown in one copy so that
// nothing flickers.
#include <windows.h>

#include "GdiObjects.h"

namespace sombrevox {

class OffscreenPicture {
 public:
  // Null Dc() when the window's context or the bitmap cannot be made.
  OffscreenPicture(HWND window, HBITMAP background);
  OffscreenPicture(const OffscreenPicture&) = delete;
  OffscreenPicture& operator=(const OffscreenPicture&) = delete;

  HDC Dc() const { return picture_ ? memory_.Get() : nullptr; }
  const RECT& Client() const { return client_; }
  // Copies the picture to the window at its client origin.
  void Show() const;

 private:
  RECT client_{};
  WindowDc windowDc_;
  MemoryDc memory_;
  Bitmap picture_;
  Selection selected_;
};

// A bitmap resource drawn over a picture with pure blue as its transparent
// colour; loaded for one drawing and freed with its scope.
class KeyedImage {
 public:
  KeyedImage(HINSTANCE module, int id);
  explicit operator bool() const { return static_cast<bool>(bitmap_); }
  SIZE Size() const { return size_; }
  // Copies the image to (x, y) of `dc`, leaving the destination where the
  // image is pure blue. False when the copy cannot be made.
  bool Draw(HDC dc, int x, int y) const;

 private:
  Bitmap bitmap_;
  SIZE size_{};
};

}  // namespace sombrevox
