#include <gtest/gtest.h>

#include "ArtImage.h"
#include "Bmp8.h"
#include "Palette.h"

namespace sombrevox::art {
namespace {

// A 40 x 30 picture: a grey ramp over 600 distinct colours, with a flat green
// panel and a pure blue border.
Image RichPicture() {
  Image image{40, 30, {}};
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) {
      const auto v = static_cast<uint8_t>(x * 6 + y % 5);
      image.pixels.push_back({v, static_cast<uint8_t>(v / 2 + y), static_cast<uint8_t>(255 - v), 255});
    }
  for (int y = 10; y < 20; ++y)
    for (int x = 10; x < 30; ++x) image.At(x, y) = {152, 206, 38, 255};
  for (int x = 0; x < 40; ++x) image.At(x, 0) = image.At(x, 29) = kKeyColour;
  return image;
}

Rgba Colour(const IndexedImage& image, int x, int y) { return image.palette[image.indices[y * image.width + x]]; }

TEST(ArtPalette, KeepsFrequentColoursAndBlueExactlyAndGivesNoOtherPixelBlue) {
  Image picture = RichPicture();
  picture.At(5, 5) = {0, 0, 250, 255};  // near blue, rare: must not become the key
  const IndexedImage indexed = Quantise(picture);
  ASSERT_EQ(indexed.palette.size(), 256u);
  EXPECT_EQ(Colour(indexed, 15, 15), (Rgba{152, 206, 38, 255}));
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) EXPECT_EQ(Colour(indexed, x, y) == kKeyColour, y == 0 || y == 29) << x << "," << y;
}

TEST(ArtImage, FlattenKeysThinPixelsAndBlendsTheRestOverTheBackdrop) {
  Image image{3, 1, {{200, 0, 0, 100}, {200, 0, 0, 128}, {0, 0, 255, 255}}};
  const Image backdrop{3, 1, {{0, 200, 0, 255}, {0, 200, 0, 255}, {0, 0, 0, 255}}};
  Flatten(&image, backdrop, true);
  EXPECT_EQ(image.pixels[0], kKeyColour);
  EXPECT_EQ(image.pixels[1], (Rgba{100, 100, 0, 255}));
  EXPECT_EQ(image.pixels[2], (Rgba{0, 0, 254, 255}));  // opaque blue moved off the key
}

class ArtBitmap : public ::testing::Test {
 protected:
  // 10 x 7 (rows padded to 12 bytes), blue outside the 4 x 3 block at 3,2.
  void SetUp() override {
    Image image{10, 7, std::vector<Rgba>(70, kKeyColour)};
    for (int y = 2; y < 5; ++y)
      for (int x = 3; x < 7; ++x) image.At(x, y) = {90, 90, 90, 255};
    file = EncodeBmp8(Quantise(image));
  }
  bool Check(const KeyRule& rule, int width = 10, int height = 7) {
    return CheckBmp8(file, width, height, rule, &error);
  }

  std::vector<uint8_t> file;
  std::string error;
  const KeyRule block{KeyRule::Kind::kOutsideRect, 3, 2, 4, 3};
};

TEST_F(ArtBitmap, WrittenFileHasTheLoadersLayout) {
  ASSERT_EQ(file.size(), 14u + 40 + 1024 + 12 * 7);
  EXPECT_EQ(file[28], 8);                    // bits per pixel
  EXPECT_EQ(file[46] | file[47] << 8, 256);  // colour-table entries
  EXPECT_TRUE(Check(block)) << error;
}

TEST_F(ArtBitmap, CheckFindsEveryFault) {
  EXPECT_FALSE(Check(block, 10, 8));
  EXPECT_FALSE(Check(KeyRule{}));  // blue where none may be
  EXPECT_FALSE(Check(KeyRule{KeyRule::Kind::kOutsideRect, 3, 2, 4, 2}));
  EXPECT_TRUE(CheckFlat(file, 10, 7, 3, 2, 4, 3, &error)) << error;
  EXPECT_FALSE(CheckFlat(file, 10, 7, 3, 2, 4, 4, &error));
  std::vector<uint8_t> shortTable = file;
  shortTable[10] -= 4;  // pixels after 255 entries
  std::swap(file, shortTable);
  EXPECT_FALSE(Check(block));
  EXPECT_EQ(error, "pixels do not follow a 256-entry colour table");
}

}  // namespace
}  // namespace sombrevox::art
