#include "WindowImage.h"

#include "GdiObjects.h"
#include "PngFile.h"

namespace sombrevox::tools {
namespace {

BITMAPINFO TopDown32(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

// 32-bit BGRX rows to COLORREFs.
Image FromBgrx(int width, int height, const std::vector<uint32_t>& bgrx) {
  Image image{width, height, std::vector<COLORREF>(bgrx.size())};
  for (size_t i = 0; i < bgrx.size(); ++i) {
    const uint32_t p = bgrx[i];
    image.pixels[i] = RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  return image;
}

}  // namespace

Image Image::Crop(int x, int y, int cropWidth, int cropHeight) const {
  Image part{cropWidth, cropHeight, {}};
  for (int row = y; row < y + cropHeight; ++row)
    for (int column = x; column < x + cropWidth; ++column) part.pixels.push_back(At(column, row));
  return part;
}

int Image::CountDifferences(const Image& other) const {
  if (width != other.width || height != other.height) return static_cast<int>(pixels.size());
  int count = 0;
  for (size_t i = 0; i < pixels.size(); ++i) count += pixels[i] != other.pixels[i];
  return count;
}

bool Image::SavePng(const std::string& path) const {
  std::vector<uint8_t> rgb;
  rgb.reserve(pixels.size() * 3);
  for (COLORREF p : pixels) rgb.insert(rgb.end(), {GetRValue(p), GetGValue(p), GetBValue(p)});
  return WritePng(path, width, height, rgb);
}

Image CaptureClient(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  const int width = client.right, height = client.bottom;
  if (width <= 0 || height <= 0) return {};
  WindowDc windowDc(window);
  Bitmap bitmap(CreateCompatibleBitmap(windowDc.Get(), width, height));
  {
    MemoryDc memory(windowDc.Get());
    Selection into(memory.Get(), bitmap.Get());
    BitBlt(memory.Get(), 0, 0, width, height, windowDc.Get(), 0, 0, SRCCOPY);
  }
  return ImageOfBitmap(bitmap.Get());
}

Image ImageOfBitmap(HBITMAP bitmap) {
  BITMAP description{};
  if (!GetObjectA(bitmap, sizeof description, &description)) return {};
  const int width = description.bmWidth, height = description.bmHeight;
  std::vector<uint32_t> bgrx(static_cast<size_t>(width) * height);
  WindowDc screen(nullptr);
  BITMAPINFO info = TopDown32(width, height);
  if (!GetDIBits(screen.Get(), bitmap, 0, height, bgrx.data(), &info, DIB_RGB_COLORS)) return {};
  return FromBgrx(width, height, bgrx);
}

}  // namespace sombrevox::tools
