// The yardstick of the engine's buffer loops: the same per-frame work as the
// network (21 ring reads, 21 ring writes, the same double operations in the
// same order, the same sample conversions), written as one straight loop with
// everything in locals and no ring wrap at all. Its output is not the
// engine's: instead of wrapping, the positions jump back to the longest delay
// when a block would run past the end of the rings, so a few values read after
// a jump are stale. Only its speed counts.
#pragma once
#include <cstdint>
#include <vector>

#include "ReverbEngine.h"

namespace sombrevox::bench {

class StraightLineLoop {
 public:
  // Rings of the engine's length, the engine's coefficients.
  explicit StraightLineLoop(const EngineCoefficients& k);

  // True when a block of `frames` fits between the longest delay and the end
  // of the rings.
  bool Fits(uint32_t frames) const;

  // `frames` frames of `Channels` (1 or 2) interleaved samples into stereo.
  template <typename Sample, int Channels>
  void Run(const Sample* input, Sample* output, uint32_t frames);

 private:
  EngineCoefficients k_;
  std::vector<double> rings_;
  int32_t start_ = 0;
  int32_t pos_ = 0;
  double lpPrevIn_ = 0, lpPrevOut_ = 0;
  double dampState_[kLineCount] = {};
};

}  // namespace sombrevox::bench
