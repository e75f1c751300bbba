#include "Bmp8.h"

#include <cmath>

namespace sombrevox::art {
namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kPixelOffset = kFileHeaderSize + kInfoHeaderSize + 4 * kPaletteSize;

uint32_t RowBytes(int width) { return (static_cast<uint32_t>(width) + 3) & ~3u; }

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
uint32_t Get16(const std::vector<uint8_t>& in, size_t at) { return in[at] | (in[at + 1] << 8); }
uint32_t Get32(const std::vector<uint8_t>& in, size_t at) { return Get16(in, at) | (Get16(in, at + 2) << 16); }

bool Fail(std::string* error, const std::string& why) {
  *error = why;
  return false;
}

bool HeaderIsSound(const std::vector<uint8_t>& file, int width, int height, std::string* error) {
  if (file.size() < kPixelOffset || file[0] != 'B' || file[1] != 'M') return Fail(error, "not a bitmap file");
  if (Get32(file, 10) != kPixelOffset) return Fail(error, "pixels do not follow a 256-entry colour table");
  if (Get32(file, 14) != kInfoHeaderSize) return Fail(error, "info header is not 40 bytes");
  if (static_cast<int32_t>(Get32(file, 18)) != width || static_cast<int32_t>(Get32(file, 22)) != height)
    return Fail(error, "size is not " + std::to_string(width) + " x " + std::to_string(height) + " (bottom-up)");
  if (Get16(file, 26) != 1 || Get16(file, 28) != 8) return Fail(error, "not one plane of 8 bits per pixel");
  if (Get32(file, 30) != 0) return Fail(error, "compressed (BI_RGB expected)");
  const uint32_t used = Get32(file, 46);
  if (used != 0 && used != kPaletteSize) return Fail(error, "colour-used field is neither 0 nor 256");
  if (file.size() < kPixelOffset + RowBytes(width) * height) return Fail(error, "pixels cut short");
  return true;
}

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
  Put32(out, kPixelOffset + pixelBytes);
  Put32(out, 0);
  Put32(out, kPixelOffset);
  Put32(out, kInfoHeaderSize);
  Put32(out, image.width);
  Put32(out, image.height);  // positive: bottom-up
  Put16(out, 1);
  Put16(out, 8);
  Put32(out, 0);  // BI_RGB
  Put32(out, pixelBytes);
  Put32(out, 2835);  // 72 dots per inch
  Put32(out, 2835);
  Put32(out, kPaletteSize);
  Put32(out, 0);
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
  const size_t table = kFileHeaderSize + kInfoHeaderSize;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const size_t entry = table + 4 * file[kPixelOffset + static_cast<size_t>(height - 1 - y) * RowBytes(width) + x];
      const bool key = file[entry] == 255 && file[entry + 1] == 0 && file[entry + 2] == 0;
      bool free = false;
      const bool wanted = ShouldBeKey(rule, x, y, &free);
      if (!free && key != wanted)
        return Fail(error, "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") is " +
                               (key ? "pure blue where it must be opaque" : "not pure blue where it must be"));
    }
  }
  return true;
}

}  // namespace sombrevox::art
