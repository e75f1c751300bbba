#include "BitmapHelpers.h"

#include <vector>

#include "GdiObjects.h"
#include "ResourceIds.h"

namespace sombrevox {
namespace {

int ColourCount(const BITMAPINFOHEADER& header) {
  return header.biBitCount <= 8 ? 1 << header.biBitCount : 0;
}

}  // namespace

HPALETTE CreateDibPalette(const BITMAPINFO* info, int* colourCount) {
  const int count = ColourCount(info->bmiHeader);
  *colourCount = count;
  if (count == 0) return nullptr;
  std::vector<BYTE> block(sizeof(LOGPALETTE) + (count - 1) * sizeof(PALETTEENTRY));
  auto* logical = reinterpret_cast<LOGPALETTE*>(block.data());
  logical->palVersion = 0x300;
  logical->palNumEntries = static_cast<WORD>(count);
  for (int i = 0; i < count; ++i) {
    const RGBQUAD& colour = info->bmiColors[i];
    logical->palPalEntry[i] = PALETTEENTRY{colour.rgbRed, colour.rgbGreen, colour.rgbBlue, 0};
  }
  return CreatePalette(logical);
}

HBITMAP LoadPaletteBitmap(HINSTANCE module, int id, HPALETTE* palette) {
  *palette = nullptr;
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), reinterpret_cast<LPCSTR>(RT_BITMAP));
  if (!found) return nullptr;
  HGLOBAL loaded = LoadResource(module, found);
  const auto* info = loaded ? static_cast<const BITMAPINFO*>(LockResource(loaded)) : nullptr;
  const DWORD size = SizeofResource(module, found);
  if (!info || size < sizeof(BITMAPINFOHEADER)) return nullptr;
  // The pixels follow the header and the whole colour table: a resource cut
  // short would have them read from beyond its end.
  const BITMAPINFOHEADER& header = info->bmiHeader;
  const size_t offset = header.biSize + static_cast<size_t>(ColourCount(header)) * sizeof(RGBQUAD);
  const size_t rowBytes = ((static_cast<size_t>(header.biWidth) * header.biBitCount + 31) / 32) * 4;
  const size_t rows = static_cast<size_t>(header.biHeight < 0 ? -header.biHeight : header.biHeight);
  if (header.biWidth <= 0 || header.biCompression != BI_RGB || offset + rowBytes * rows > size) return nullptr;

  WindowDc screen(nullptr);
  int count = 0;
  Palette built(CreateDibPalette(info, &count));
  PaletteSelection realised(screen.Get(), built.Get());
  HBITMAP bitmap = CreateDIBitmap(screen.Get(), &header, CBM_INIT, reinterpret_cast<const BYTE*>(info) + offset,
                                  info, DIB_RGB_COLORS);
  if (bitmap) *palette = built.Release();
  return bitmap;
}

void PaintResourceBitmap(HWND window, HINSTANCE module, int id) {
  WindowDc dc(window);
  HPALETTE rawPalette = nullptr;
  Bitmap bitmap(LoadPaletteBitmap(module, id, &rawPalette));
  Palette palette(rawPalette);
  if (!bitmap || !dc.Get()) return;
  BITMAP size{};
  GetObjectA(bitmap.Get(), sizeof size, &size);
  MemoryDc memory(dc.Get());
  PaletteSelection onWindow(dc.Get(), palette.Get());
  PaletteSelection inMemory(memory.Get(), palette.Get());
  Selection picture(memory.Get(), bitmap.Get());
  BitBlt(dc.Get(), 0, 0, size.bmWidth, size.bmHeight, memory.Get(), 0, 0, SRCCOPY);
}

HBITMAP CaptureParentBackground(HWND control, HINSTANCE module) {
  RECT client{};
  GetClientRect(control, &client);
  const int width = client.right - client.left;
  const int height = client.bottom - client.top;

  Bitmap skin(LoadBitmapA(module, MAKEINTRESOURCEA(IDB_SKIN)));
  if (!skin) return nullptr;
  BITMAP format{};
  GetObjectA(skin.Get(), sizeof format, &format);
  format.bmWidth = width;
  format.bmHeight = height;
  format.bmWidthBytes = ((width * format.bmBitsPixel + 15) / 16) * 2;
  format.bmBits = nullptr;
  Bitmap background(CreateBitmapIndirect(&format));
  if (!background) return nullptr;

  POINT origin{0, 0};
  ClientToScreen(control, &origin);
  ScreenToClient(GetParent(control), &origin);
  {
    MemoryDc skinDc(nullptr);
    MemoryDc backgroundDc(nullptr);
    Selection fromSkin(skinDc.Get(), skin.Get());
    Selection intoBackground(backgroundDc.Get(), background.Get());
    BitBlt(backgroundDc.Get(), 0, 0, width, height, skinDc.Get(), origin.x, origin.y, SRCCOPY);
  }
  return background.Release();
}

int MaskedBlit(HDC destination, int x, int y, int width, int height, HDC source, int sourceX, int sourceY) {
  const COLORREF key = GetBkColor(destination);
  const COLORREF destinationText = GetTextColor(destination);
  const COLORREF sourceBackground = GetBkColor(source);
  MemoryDc maskDc(source);
  Bitmap mask(CreateBitmap(width, height, 1, 1, nullptr));
  if (!maskDc || !mask) return 0;
  {
    Selection maskSelected(maskDc.Get(), mask.Get());
    // Source pixels of the key colour become white (1) in the mask, all others black.
    SetBkColor(source, key);
    BitBlt(maskDc.Get(), 0, 0, width, height, source, sourceX, sourceY, SRCCOPY);
    // XOR the image in, clear it where the mask is black, XOR it again: the
    // key's pixels come back as they were, the others hold the image.
    SetTextColor(destination, RGB(0, 0, 0));
    SetBkColor(destination, RGB(255, 255, 255));
    BitBlt(destination, x, y, width, height, source, sourceX, sourceY, SRCINVERT);
    BitBlt(destination, x, y, width, height, maskDc.Get(), 0, 0, SRCAND);
    BitBlt(destination, x, y, width, height, source, sourceX, sourceY, SRCINVERT);
  }
  SetBkColor(destination, key);
  SetTextColor(destination, destinationText);
  SetBkColor(source, sourceBackground);
  return 1;
}

}  // namespace sombrevox
