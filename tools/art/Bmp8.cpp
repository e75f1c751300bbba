#include "Bmp8.h"

#include <cmath>

namespace sombrevox::art {
namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kPixelOffset = kFileHeaderSize + kInfoHeaderSize + 4 * kPaletteSize;

uint32_t RowBytes(int width) { return (static_cast<uint32_t>(width) + 3) & ~3u; }

// Little-endian fields of `bytes` bytes.
void Put(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}
uint32_t Get(const std::vector<uint8_t>& in, size_t at, int bytes) {
  uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | in[at + i];
  return value;
}

bool Fail(std::string* error, const std::string& why) {
  *error = why;
  return false;
}

bool HeaderIsSound(const std::vector<uint8_t>& file, int width, int height, std::string* error) {
  if (file.size() < kPixelOffset || file[0] != 'B' || file[1] != 'M') return Fail(error, "not a bitmap file");
  if (Get(file, 10, 4) != kPixelOffset) return Fail(error, "pixels do not follow a 256-entry colour table");
  if (Get(file, 14, 4) != kInfoHeaderSize) return Fail(error, "info header is not 40 bytes");
  if (static_cast<int32_t>(Get(file, 18, 4)) != width || static_cast<int32_t>(Get(file, 22, 4)) != height)
    return Fail(error, "size is not " + std::to_string(width) + " x " + std::to_string(height) + " (bottom-up)");
  if (Get(file, 26, 2) != 1 || Get(file, 28, 2) != 8) return Fail(error, "not one plane of 8 bits per pixel");
  if (Get(file, 30, 4) != 0) return Fail(error, "compressed (BI_RGB expected)");
  const uint32_t used = Get(file, 46, 4);
  if (used != 0 && used != kPaletteSize) return Fail(error, "colour-used field is neither 0 nor 256");
  if (file.size() < kPixelOffset + RowBytes(width) * height) return Fail(error, "pixels cut short");
  return true;
}

// The colour-table entry (blue, green, red) of pixel x, y (rows top-down).
const uint8_t* PixelColour(const std::vector<uint8_t>& file, int width, int height, int x, int y) {
  const uint8_t index = file[kPixelOffset + static_cast<size_t>(height - 1 - y) * RowBytes(width) + x];
  return &file[kFileHeaderSize + kInfoHeaderSize + 4 * index];
}

std::string At(int x, int y) { return "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ")"; }

bool ShouldBeKey(const KeyRule& rule, int x, int y, bool* free) {
  *free = false;
  switch (rule.kind) {
    case KeyRule::Kind::kNone:
      return false;
    case KeyRule::Kind::kOutsideRect:
      return x < rule.x || y < rule.y || x >= rule.x + rule.w || y >= rule.y + rule.h;
    case KeyRule::Kind::kOutsideDisc: {
      const double d = std::hypot(x - rule.cx, y - rule.cy);
      *free = d > rule.inner && d < rule.outer;
      return d >= rule.outer;
    }
  }
  return false;
}

}  // namespace

std::vector<uint8_t> EncodeBmp8(const IndexedImage& image) {
  const uint32_t rowBytes = RowBytes(image.width);
  const uint32_t pixelBytes = rowBytes * image.height;
  std::vector<uint8_t> out;
  out.reserve(kPixelOffset + pixelBytes);
  out.push_back('B');
  out.push_back('M');
  Put(out, kPixelOffset + pixelBytes, 4);
  Put(out, 0, 4);
  Put(out, kPixelOffset, 4);
  Put(out, kInfoHeaderSize, 4);
  Put(out, image.width, 4);
  Put(out, image.height, 4);  // positive: bottom-up
  Put(out, 1, 2);
  Put(out, 8, 2);
  Put(out, 0, 4);  // BI_RGB
  Put(out, pixelBytes, 4);
  Put(out, 2835, 4);  // 72 dots per inch
  Put(out, 2835, 4);
  Put(out, kPaletteSize, 4);
  Put(out, 0, 4);
  for (int i = 0; i < kPaletteSize; ++i) {
    const Rgba c = i < static_cast<int>(image.palette.size()) ? image.palette[i] : Rgba{};
    out.insert(out.end(), {c.b, c.g, c.r, 0});
  }
  for (int y = image.height - 1; y >= 0; --y) {
    const auto row = image.indices.begin() + static_cast<size_t>(y) * image.width;
    out.insert(out.end(), row, row + image.width);
    out.resize(out.size() + rowBytes - image.width, 0);
  }
  return out;
}

bool CheckBmp8(const std::vector<uint8_t>& file, int width, int height, const KeyRule& rule, std::string* error) {
  if (!HeaderIsSound(file, width, height, error)) return false;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const uint8_t* colour = PixelColour(file, width, height, x, y);
      const bool key = colour[0] == 255 && colour[1] == 0 && colour[2] == 0;
      bool free = false;
      const bool wanted = ShouldBeKey(rule, x, y, &free);
      if (!free && key != wanted)
        return Fail(error,
                    At(x, y) + (key ? " is pure blue where it must be opaque" : " is not pure blue where it must be"));
    }
  }
  return true;
}

bool CheckFlat(const std::vector<uint8_t>& file, int width, int height, int x, int y, int w, int h,
               std::string* error) {
  if (x < 0 || y < 0 || w <= 0 || h <= 0 || x + w > width || y + h > height) return Fail(error, "plain area outside");
  const uint8_t* first = PixelColour(file, width, height, x, y);
  for (int row = y; row < y + h; ++row)
    for (int column = x; column < x + w; ++column) {
      const uint8_t* colour = PixelColour(file, width, height, column, row);
      if (colour[0] != first[0] || colour[1] != first[1] || colour[2] != first[2])
        return Fail(error, At(column, row) + " differs from the plain area's colour");
    }
  return true;
}

}  // namespace sombrevox::art
