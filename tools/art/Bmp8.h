#pragma once
// The 8-bit bitmap files of the editor's resources: written from an indexed
// picture, and checked for the layout the editor's loader relies on.

#include <cstdint>
#include <string>
#include <vector>

#include "Palette.h"

namespace sombrevox::art {

// File header, 40-byte info header, all 256 colour-table entries, bottom-up
// rows padded to four bytes.
std::vector<uint8_t> EncodeBmp8(const IndexedImage& image);

// Where pure blue, the transparent colour, must and must not appear.
struct KeyRule {
  enum class Kind { kNone, kOutsideRect, kOutsideDisc } kind = Kind::kNone;
  // kOutsideRect: blue exactly outside (x, y, w, h).
  int x = 0, y = 0, w = 0, h = 0;
  // kOutsideDisc around (cx, cy): no blue within `inner`, only blue from
  // `outer` on (distances in pixels between pixel centres).
  double cx = 0, cy = 0, inner = 0, outer = 0;
};

// True if `file` is an 8-bit BI_RGB bitmap of the given size with 256
// colour-table entries, bottom-up, whose pure blue pixels follow `rule`;
// otherwise false with the first fault found in `error`.
bool CheckBmp8(const std::vector<uint8_t>& file, int width, int height, const KeyRule& rule, std::string* error);

// True if the rectangle (x, y, w, h) of a file that passed CheckBmp8 holds
// one colour only (a panel that controls draw on must stay plain).
bool CheckFlat(const std::vector<uint8_t>& file, int width, int height, int x, int y, int w, int h, std::string* error);

}  // namespace sombrevox::art
