#pragma once
#include <cstdint>

namespace sombrevox {

constexpr uint16_t kFormatPcm = 1;        // 16-bit signed integer samples
constexpr uint16_t kFormatIeeeFloat = 3;  // 32-bit float samples

// The few fields of a wave format the engine reads; the filter maps the
// platform's format record onto it.
struct AudioFormat {
  uint16_t formatTag;
  uint16_t channels;
  uint32_t samplesPerSec;
  uint16_t blockAlign;
  uint16_t bitsPerSample;
};

}  // namespace sombrevox
