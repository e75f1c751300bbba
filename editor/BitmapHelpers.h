#pragma once
// The drawing every part of the editor relies on: a bitmap resource painted
// through a palette made from its own colour table, the skin under a control
// copied into a bitmap of the control's own, and a copy with one colour
// treated as transparent. Nothing is cached: each call loads its resource.
#include <windows.h>

namespace sombrevox {

// The colour that composited images use for "transparent".
constexpr COLORREF kTransparentBlue = RGB(0, 0, 255);

// A logical palette from the colour table of a bitmap of at most 8 bits per
// pixel (2^bits entries; the header's colours-used field is not consulted).
// Null, with *colourCount 0, for deeper bitmaps. The caller deletes it.
HPALETTE CreateDibPalette(const BITMAPINFO* info, int* colourCount);

// A device bitmap made from bitmap resource `id` of `module` through a palette
// built from its colour table, which comes back in *palette (null when the
// bitmap has none). Null when the resource is missing or cut short. The
// caller deletes both.
HBITMAP LoadPaletteBitmap(HINSTANCE module, int id, HPALETTE* palette);

// Paints bitmap resource `id` at the window's client origin, at its own size.
void PaintResourceBitmap(HWND window, HINSTANCE module, int id);

// A bitmap of the control's client size holding the skin (bitmap 106 of
// `module`) as it lies under the control on its parent. Null when the skin
// cannot be loaded. The caller deletes it.
HBITMAP CaptureParentBackground(HWND control, HINSTANCE module);

// Copies the source region to (x, y) of the destination, leaving the
// destination unchanged where the source has the transparent colour, which is
// the destination's background colour at the time of the call (callers set
// kTransparentBlue first). 1 on success; 0 when a work context or the mask
// cannot be made. Every colour it changes is restored.
int MaskedBlit(HDC destination, int x, int y, int width, int height, HDC source, int sourceX, int sourceY);

}  // namespace sombrevox
