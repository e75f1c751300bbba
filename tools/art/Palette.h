#pragma once
// Reduction of an opaque picture to the 256 colours of an 8-bit bitmap.

#include <cstdint>
#include <vector>

#include "ArtImage.h"

namespace sombrevox::art {

inline constexpr int kPaletteSize = 256;

struct IndexedImage {
  int width = 0;
  int height = 0;
  std::vector<Rgba> palette;     // always kPaletteSize entries
  std::vector<uint8_t> indices;  // rows top-down
};

// A picture of at most 256 colours keeps them all exactly. A richer one keeps
// its most frequent colours exactly (flat panels, pure blue) and shares the
// rest out by splitting the colour cube where the error is largest; pixels
// take the nearest entry, without dithering, so flat areas stay flat. The
// result depends only on the pixels. Only pure blue in the picture gives pure
// blue in the palette.
IndexedImage Quantise(const Image& image);

}  // namespace sombrevox::art
