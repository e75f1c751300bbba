#include "ArtImage.h"

#include <fstream>
#include <sstream>

namespace sombrevox::art {
namespace {

struct PamHeader {
  int width = 0, height = 0, depth = 0, maxval = 0;
};

bool ReadPamHeader(std::istream& in, PamHeader* header, std::string* error) {
  std::string line;
  if (!std::getline(in, line) || line != "P7") {
    *error = "not a PAM file";
    return false;
  }
  while (std::getline(in, line) && line != "ENDHDR") {
    std::istringstream fields(line);
    std::string key;
    fields >> key;
    if (key == "WIDTH") fields >> header->width;
    if (key == "HEIGHT") fields >> header->height;
    if (key == "DEPTH") fields >> header->depth;
    if (key == "MAXVAL") fields >> header->maxval;
  }
  if (line != "ENDHDR" || header->width <= 0 || header->height <= 0 || header->depth < 1 || header->depth > 4 ||
      header->maxval != 255) {
    *error = "unsupported PAM header (8-bit samples, depth 1 to 4 expected)";
    return false;
  }
  return true;
}

// Grey, grey with alpha, RGB or RGBA samples of one pixel.
Rgba FromSamples(const unsigned char* s, int depth) {
  switch (depth) {
    case 1:
      return {s[0], s[0], s[0], 255};
    case 2:
      return {s[0], s[0], s[0], s[1]};
    case 3:
      return {s[0], s[1], s[2], 255};
    default:
      return {s[0], s[1], s[2], s[3]};
  }
}

uint8_t Blend(int over, int under, int alpha) {
  return static_cast<uint8_t>((over * alpha + under * (255 - alpha) + 127) / 255);
}

}  // namespace

bool ReadPam(const std::string& path, Image* image, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = "cannot open " + path;
    return false;
  }
  PamHeader header;
  if (!ReadPamHeader(in, &header, error)) return false;
  std::vector<unsigned char> samples(static_cast<size_t>(header.width) * header.height * header.depth);
  if (!in.read(reinterpret_cast<char*>(samples.data()), static_cast<std::streamsize>(samples.size()))) {
    *error = "PAM pixels cut short";
    return false;
  }
  image->width = header.width;
  image->height = header.height;
  image->pixels.resize(static_cast<size_t>(header.width) * header.height);
  for (size_t i = 0; i < image->pixels.size(); ++i)
    image->pixels[i] = FromSamples(&samples[i * header.depth], header.depth);
  return true;
}

bool Crop(const Image& source, int x, int y, int width, int height, Image* result) {
  if (x < 0 || y < 0 || width <= 0 || height <= 0 || x + width > source.width || y + height > source.height)
    return false;
  result->width = width;
  result->height = height;
  result->pixels.resize(static_cast<size_t>(width) * height);
  for (int row = 0; row < height; ++row)
    for (int column = 0; column < width; ++column) result->At(column, row) = source.At(x + column, y + row);
  return true;
}

void Flatten(Image* image, const Image& backdrop, bool keyed) {
  for (size_t i = 0; i < image->pixels.size(); ++i) {
    Rgba& p = image->pixels[i];
    if (keyed && p.a < 128) {
      p = kKeyColour;
      continue;
    }
    const Rgba& under = backdrop.pixels[i];
    p = {Blend(p.r, under.r, p.a), Blend(p.g, under.g, p.a), Blend(p.b, under.b, p.a), 255};
    if (p == kKeyColour) p.b = 254;
  }
}

}  // namespace sombrevox::art
