// The cases that the benchmark and the timing program measure alike: the
// engine streaming at 44100 Hz with the default preset, fed 4410-frame blocks
// of noise through its ordinary buffer loop.
#pragma once
#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "FactoryPresets.h"
#include "ReverbEngine.h"

namespace sombrevox::bench {

constexpr uint32_t kRate = 44100;
constexpr uint32_t kBlock = 4410;

template <typename Sample>
constexpr uint16_t kTag = sizeof(Sample) == 2 ? kFormatPcm : kFormatIeeeFloat;

// An engine prepared for `channels` input channels of `Sample`.
template <typename Sample>
struct Streaming {
  SharedParams params;
  ReverbEngine engine{params};
  explicit Streaming(uint16_t channels) {
    params.SetAll(kFactoryPresets[0].params);
    constexpr uint16_t bytes = sizeof(Sample);
    const AudioFormat in{kTag<Sample>, channels, kRate, static_cast<uint16_t>(bytes * channels), 8 * bytes};
    const AudioFormat out{kTag<Sample>, 2, kRate, 2 * bytes, 8 * bytes};
    engine.PrepareStream(in, out);
  }
};

// One block of noise, well inside full scale.
template <typename Sample>
std::vector<Sample> Noise(int channels) {
  std::mt19937 rng(1);
  std::uniform_real_distribution<double> d(-1.0, 1.0);
  std::vector<Sample> v(static_cast<size_t>(channels) * kBlock);
  for (Sample& s : v) s = static_cast<Sample>(sizeof(Sample) == 2 ? d(rng) * 20000 : d(rng) * 0.5);
  return v;
}

// One ordinary buffer of kBlock frames.
inline void ProcessBlock(ReverbEngine& e, const int16_t* in, int16_t* out) {
  uint32_t n = kBlock, room = kBlock;
  e.ProcessPcm16(kModeNormal, in, &n, out, &room);
}
inline void ProcessBlock(ReverbEngine& e, const float* in, float* out) {
  uint32_t n = kBlock, room = kBlock;
  e.ProcessFloat32(kModeNormal, in, &n, out, &room);
}

// The median of the rounds' rates (none: 0).
inline double Median(std::vector<double> v) {
  if (v.empty()) return 0.0;
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

}  // namespace sombrevox::bench
