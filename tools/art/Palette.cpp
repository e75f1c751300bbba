#include "Palette.h"

#include <algorithm>
#include <map>

namespace sombrevox::art {
namespace {

// Colours used by this many pixels or more are kept exactly (up to
// kMaxPinned of them, the most frequent first).
constexpr uint32_t kPinnedMinimumCount = 24;
constexpr size_t kMaxPinned = 64;

struct ColourCount {
  Rgba colour;
  uint32_t count = 0;
};

uint32_t Key(Rgba c) { return (uint32_t{c.r} << 16) | (uint32_t{c.g} << 8) | c.b; }

int Channel(Rgba c, int channel) { return channel == 0 ? c.r : channel == 1 ? c.g : c.b; }

// A run of colours of `entries` that becomes one palette entry.
struct Box {
  size_t begin = 0, end = 0;
  double error = 0;  // summed squared distance from the mean, by count
  int widestChannel = 0;
  Rgba mean;
};

Box Measure(const std::vector<ColourCount>& entries, size_t begin, size_t end) {
  Box box;
  box.begin = begin;
  box.end = end;
  double n = 0, sum[3] = {}, squares[3] = {};
  for (size_t i = begin; i < end; ++i) {
    const double w = entries[i].count;
    n += w;
    for (int c = 0; c < 3; ++c) {
      const double v = Channel(entries[i].colour, c);
      sum[c] += w * v;
      squares[c] += w * v * v;
    }
  }
  double widest = -1;
  uint8_t mean[3];
  for (int c = 0; c < 3; ++c) {
    const double variance = squares[c] - sum[c] * sum[c] / n;
    box.error += variance;
    if (variance > widest) widest = variance, box.widestChannel = c;
    mean[c] = static_cast<uint8_t>(std::clamp(sum[c] / n + 0.5, 0.0, 255.0));
  }
  box.mean = {mean[0], mean[1], mean[2], 255};
  return box;
}

// Splits the box at the weighted median of its widest channel.
std::pair<Box, Box> Split(std::vector<ColourCount>& entries, const Box& box) {
  const int c = box.widestChannel;
  std::stable_sort(
      entries.begin() + box.begin, entries.begin() + box.end,
      [c](const ColourCount& a, const ColourCount& b) { return Channel(a.colour, c) < Channel(b.colour, c); });
  uint64_t total = 0;
  for (size_t i = box.begin; i < box.end; ++i) total += entries[i].count;
  uint64_t running = 0;
  size_t cut = box.begin + 1;
  for (size_t i = box.begin; i + 1 < box.end; ++i) {
    running += entries[i].count;
    cut = i + 1;
    if (running * 2 >= total) break;
  }
  return {Measure(entries, box.begin, cut), Measure(entries, cut, box.end)};
}

std::vector<Rgba> MedianCut(std::vector<ColourCount> entries, size_t boxCount) {
  std::vector<Box> boxes;
  if (!entries.empty()) boxes.push_back(Measure(entries, 0, entries.size()));
  while (!boxes.empty() && boxes.size() < boxCount) {
    auto worst =
        std::max_element(boxes.begin(), boxes.end(), [](const Box& a, const Box& b) { return a.error < b.error; });
    if (worst->end - worst->begin < 2) break;
    auto [low, high] = Split(entries, *worst);
    *worst = low;
    boxes.push_back(high);
  }
  std::vector<Rgba> colours;
  for (const Box& box : boxes) colours.push_back(box.mean == kKeyColour ? Rgba{0, 0, 254, 255} : box.mean);
  return colours;
}

int Distance(Rgba a, Rgba b) {
  const int dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
  return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

// The nearest entry other than pure blue, which an opaque pixel must never
// take.
uint8_t Nearest(const std::vector<Rgba>& palette, Rgba colour) {
  size_t best = palette.size();
  for (size_t i = 0; i < palette.size(); ++i) {
    if (palette[i] == kKeyColour) continue;
    if (best == palette.size() || Distance(palette[i], colour) < Distance(palette[best], colour)) best = i;
  }
  return static_cast<uint8_t>(best);
}

}  // namespace

IndexedImage Quantise(const Image& image) {
  std::map<uint32_t, ColourCount> histogram;
  for (const Rgba& p : image.pixels) {
    ColourCount& entry = histogram[Key(p)];
    entry.colour = {p.r, p.g, p.b, 255};
    ++entry.count;
  }
  std::vector<ColourCount> byFrequency;
  for (const auto& [key, entry] : histogram) byFrequency.push_back(entry);
  std::stable_sort(byFrequency.begin(), byFrequency.end(),
                   [](const ColourCount& a, const ColourCount& b) { return a.count > b.count; });

  std::vector<Rgba> palette;
  std::vector<ColourCount> rest;
  for (const ColourCount& entry : byFrequency) {
    const bool pinned = byFrequency.size() <= kPaletteSize || entry.colour == kKeyColour ||
                        (entry.count >= kPinnedMinimumCount && palette.size() < kMaxPinned);
    if (pinned)
      palette.push_back(entry.colour);
    else
      rest.push_back(entry);
  }
  const size_t pinnedCount = palette.size();
  for (const Rgba& colour : MedianCut(rest, kPaletteSize - pinnedCount)) palette.push_back(colour);

  IndexedImage result{image.width, image.height, palette, {}};
  std::map<uint32_t, uint8_t> chosen;
  for (size_t i = 0; i < pinnedCount; ++i) chosen[Key(palette[i])] = static_cast<uint8_t>(i);
  result.indices.reserve(image.pixels.size());
  for (const Rgba& p : image.pixels) {
    auto found = chosen.find(Key(p));
    if (found == chosen.end()) found = chosen.emplace(Key(p), Nearest(palette, p)).first;
    result.indices.push_back(found->second);
  }
  result.palette.resize(kPaletteSize, Rgba{0, 0, 0, 255});
  return result;
}

}  // namespace sombrevox::art
