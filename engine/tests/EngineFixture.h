#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "AudioFormat.h"
#include "FactoryPresets.h"
#include "ReverbEngine.h"
#include "SharedParams.h"

namespace sombrevox::test {

inline AudioFormat Format(uint16_t tag, uint16_t channels, uint32_t rate) {
  const uint16_t bits = tag == kFormatPcm ? 16 : 32;
  return AudioFormat{tag, channels, rate, static_cast<uint16_t>(bits / 8 * channels), bits};
}

// A parameter holder and an engine streaming at one rate, as a filter has them.
struct Rig {
  SharedParams params;
  ReverbEngine engine{params};
  Status prepared = kOk;

  Rig(uint32_t rate, const ReverbParams& p = kFactoryPresets[0].params, uint16_t tag = kFormatPcm,
      uint16_t channels = 2) {
    params.SetAll(p);
    prepared = engine.PrepareStream(Format(tag, channels, rate), Format(tag, 2, rate));
  }
};

// Runs a whole 16-bit input through the engine in blocks (mode 0 first, then
// 1) and then the tail in blocks of `tailBlock` frames; returns the stereo output.
inline std::vector<int16_t> RenderPcm16(ReverbEngine& engine, const std::vector<int16_t>& input, int channels,
                                        const std::vector<uint32_t>& blocks, uint32_t tailBlock) {
  std::vector<int16_t> out;
  size_t frame = 0;
  const size_t frames = input.size() / channels;
  ProcessMode mode = kModeDiscontinuity;
  for (size_t b = 0; frame < frames; ++b) {
    uint32_t n = blocks[b % blocks.size()];
    if (n > frames - frame) n = static_cast<uint32_t>(frames - frame);
    std::vector<int16_t> buf(2 * n);
    uint32_t in = n, room = n;
    engine.ProcessPcm16(mode, input.data() + frame * channels, &in, buf.data(), &room);
    out.insert(out.end(), buf.begin(), buf.begin() + 2 * room);
    frame += in;
    mode = kModeNormal;
  }
  for (;;) {
    std::vector<int16_t> buf(2 * tailBlock);
    uint32_t room = tailBlock;
    const Status s = engine.ProcessPcm16(kModeTail, nullptr, nullptr, buf.data(), &room);
    out.insert(out.end(), buf.begin(), buf.begin() + 2 * room);
    if (s == kTailFinished || room == 0) break;
  }
  return out;
}

}  // namespace sombrevox::test
