#pragma once
// Pixels of windows and bitmaps, for screenshots and GUI tests. Windows are
// read through their own device context: under Wine the X screen can lag
// behind a window's surface for up to seconds, the window's own context never
// does.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace sombrevox::tools {

struct Image {
  int width = 0;
  int height = 0;
  std::vector<COLORREF> pixels;  // rows top to bottom

  bool Empty() const { return pixels.empty(); }
  COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  // The part of the image at (x, y) of the given size.
  Image Crop(int x, int y, int cropWidth, int cropHeight) const;
  // The number of pixels that differ from `other` (of the same size; all if not).
  int CountDifferences(const Image& other) const;
  // Saves the image as a PNG file (a Unix path under Wine is fine).
  bool SavePng(const std::string& path) const;
};

// The window's client area as it is drawn now (children included); empty if
// it has no area or its pixels cannot be read.
Image CaptureClient(HWND window);

// The pixels of a bitmap (not selected into any context); empty if they
// cannot be read.
Image ImageOfBitmap(HBITMAP bitmap);

}  // namespace sombrevox::tools
