#pragma once
// A picture of 8-bit RGBA pixels as the art pipeline passes it between its
// steps, read from the PAM files that ImageMagick writes.

#include <cstdint>
#include <string>
#include <vector>

namespace sombrevox::art {

struct Rgba {
  uint8_t r = 0, g = 0, b = 0, a = 255;
  bool operator==(const Rgba&) const = default;
};

struct Image {
  int width = 0;
  int height = 0;
  std::vector<Rgba> pixels;  // rows top-down

  Rgba& At(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
  const Rgba& At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Pure blue: the colour the editor's transparent copies leave out.
inline constexpr Rgba kKeyColour{0, 0, 255, 255};

// Reads a PAM (P7) file of depth 1 to 4 and maxval 255; false with a reason
// in `error` when it is anything else.
bool ReadPam(const std::string& path, Image* image, std::string* error);

// The rectangle (x, y, width, height) of `source`; false if it does not lie
// wholly inside.
bool Crop(const Image& source, int x, int y, int width, int height, Image* result);

// Makes every pixel opaque. Pixels less than half covered become pure blue
// when `keyed`; the others are blended over `backdrop` (same size as the
// image), whose pixels are themselves taken as opaque. Opaque pixels that
// would come out as pure blue are moved one step off it.
void Flatten(Image* image, const Image& backdrop, bool keyed);

}  // namespace sombrevox::art
