#pragma once
#include <cstdint>

namespace sombrevox {

// Highest low-pass cut-off offered at a sample rate: 16000 Hz above 32000 Hz,
// else trunc((rate * 0.5 - 500) * 0.001) * 1000 (8000 -> 3000, 22050 -> 10000,
// 32000 -> 15000); a quarter of the rate where that formula gives 500 Hz or less.
double LowpassCeiling(uint32_t samplesPerSec);

}  // namespace sombrevox
