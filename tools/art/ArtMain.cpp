// sombrevox-art: turns the rendered artwork into the editor's 8-bit bitmaps
// and checks them.
//
//   sombrevox-art make IN.pam OUT.bmp [--crop X,Y,W,H] [--keyed] [--over BACKDROP.pam X,Y]
//     Crops the picture, makes it opaque (with --keyed, pixels less than half
//     covered become pure blue; the others are blended over the backdrop's
//     region at X,Y, or over black) and writes it with 256 colours.
//   sombrevox-art check FILE.bmp WxH [--key-outside-rect X,Y,W,H | --key-outside-disc CX,CY,INNER,OUTER]
//                       [--flat X,Y,W,H]...
//     Fails unless FILE has the editor's bitmap layout, the size W x H,
//     pure blue exactly where the option says (nowhere without one) and one
//     colour in each --flat rectangle.

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "ArtImage.h"
#include "Bmp8.h"
#include "Palette.h"

namespace sombrevox::art {
namespace {

int Fail(const std::string& what, const std::string& why) {
  std::fprintf(stderr, "sombrevox-art: %s: %s\n", what.c_str(), why.c_str());
  return 1;
}

// "1,2,3" (or "1x2") into numbers; false unless exactly `count` of them.
bool Numbers(const std::string& text, size_t count, std::vector<double>* values) {
  std::istringstream in(text);
  values->clear();
  double v = 0;
  char separator = 0;
  while (in >> v) {
    values->push_back(v);
    if (!(in >> separator)) break;
  }
  return values->size() == count;
}

int Make(const std::vector<std::string>& args) {
  if (args.size() < 2) return Fail("make", "IN.pam OUT.bmp expected");
  Image image, backdrop;
  std::string error, backdropPath;
  if (!ReadPam(args[0], &image, &error)) return Fail(args[0], error);
  bool keyed = false;
  std::vector<double> n, at;
  for (size_t i = 2; i < args.size(); ++i) {
    if (args[i] == "--keyed") {
      keyed = true;
    } else if (args[i] == "--crop" && i + 1 < args.size() && Numbers(args[i + 1], 4, &n)) {
      Image cropped;
      if (!Crop(image, int(n[0]), int(n[1]), int(n[2]), int(n[3]), &cropped)) return Fail(args[0], "crop outside");
      image = cropped;
      ++i;
    } else if (args[i] == "--over" && i + 2 < args.size() && Numbers(args[i + 2], 2, &at)) {
      backdropPath = args[i + 1];
      i += 2;
    } else {
      return Fail("make", "bad option " + args[i]);
    }
  }
  // The backdrop is the region under the (cropped) picture.
  if (backdropPath.empty()) {
    backdrop = Image{image.width, image.height, std::vector<Rgba>(image.pixels.size())};
  } else {
    Image whole;
    if (!ReadPam(backdropPath, &whole, &error)) return Fail(backdropPath, error);
    if (!Crop(whole, int(at[0]), int(at[1]), image.width, image.height, &backdrop))
      return Fail(backdropPath, "backdrop region outside");
  }
  Flatten(&image, backdrop, keyed);
  const std::vector<uint8_t> bytes = EncodeBmp8(Quantise(image));
  std::ofstream out(args[1], std::ios::binary);
  if (!out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())))
    return Fail(args[1], "cannot write");
  return 0;
}

int Check(const std::vector<std::string>& args) {
  std::vector<double> size, n;
  if (args.size() < 2 || !Numbers(args[1], 2, &size)) return Fail("check", "FILE.bmp WxH expected");
  const int width = int(size[0]), height = int(size[1]);
  KeyRule rule;
  std::vector<std::vector<double>> flat;
  // Every option takes one value.
  for (size_t i = 2; i < args.size(); i += 2) {
    if (i + 1 >= args.size() || !Numbers(args[i + 1], 4, &n)) return Fail("check", "bad option " + args[i]);
    if (args[i] == "--key-outside-rect") {
      rule = {KeyRule::Kind::kOutsideRect, int(n[0]), int(n[1]), int(n[2]), int(n[3])};
    } else if (args[i] == "--key-outside-disc") {
      rule.kind = KeyRule::Kind::kOutsideDisc;
      rule.cx = n[0], rule.cy = n[1], rule.inner = n[2], rule.outer = n[3];
    } else if (args[i] == "--flat") {
      flat.push_back(n);
    } else {
      return Fail("check", "unknown option " + args[i]);
    }
  }
  std::ifstream in(args[0], std::ios::binary);
  const std::vector<uint8_t> file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::string error;
  if (!CheckBmp8(file, width, height, rule, &error)) return Fail(args[0], error);
  for (const auto& r : flat)
    if (!CheckFlat(file, width, height, int(r[0]), int(r[1]), int(r[2]), int(r[3]), &error))
      return Fail(args[0], error);
  return 0;
}

}  // namespace
}  // namespace sombrevox::art

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (!args.empty() && args[0] == "make") return sombrevox::art::Make({args.begin() + 1, args.end()});
  if (!args.empty() && args[0] == "check") return sombrevox::art::Check({args.begin() + 1, args.end()});
  std::fprintf(stderr, "usage: sombrevox-art make|check ...\n");
  return 2;
}
