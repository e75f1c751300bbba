#pragma once
// Parameters held as the filter holds them (the engine's own clamp on every
// write), with an output rate that the test chooses (0: not connected).
#include <cstdint>

#include "ParamAccess.h"
#include "ReverbParams.h"

namespace sombrevox::test {

class RecordedParams : public ParamAccess {
 public:
  explicit RecordedParams(uint32_t rate = 0) : params_(DefaultParams()), rate_(rate) {}
  double Get(int index) const override { return ParamAt(params_, index); }
  void Set(int index, double value) override {
    ParamAt(params_, index) = ClampParam(index, value);
    ++writes_;
  }
  uint32_t OutputRate() const override { return rate_; }
  int Writes() const { return writes_; }

 private:
  ReverbParams params_;
  uint32_t rate_;
  int writes_ = 0;
};

}  // namespace sombrevox::test
