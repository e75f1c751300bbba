#include "ParameterMapping.h"

#include <cmath>

#include "LowpassCeiling.h"
#include "ReverbParams.h"

namespace sombrevox {
namespace {

constexpr double kDampingDisplayScale = 1.0526315789473684;  // 20/19
constexpr double kDecayRatio = 26.666666666666668;           // 8000 / 300 ms
constexpr double kRoomRatio = 666.6666666666666;             // 20000 / 30

// x^f as a power of two: 2^(f * log2 x).
double Power(double x, double f) { return std::exp2(f * std::log2(x)); }

// Truncated toward zero and held inside 32 bits (a NaN gives 0).
int32_t TruncatedPosition(double position) {
  if (!(position > -2147483648.0)) return position < 0 ? INT32_MIN : 0;
  if (position >= 2147483647.0) return INT32_MAX;
  return static_cast<int32_t>(position);
}

// The low-pass position of `lowpassHz` under `ceiling`: 1000 * ln(lp / 500) / ln(ceiling / 500),
// 0 where either logarithm would not be positive.
double LowpassPosition(double lowpassHz, double ceiling) {
  const double lowest = kParamRanges[kLowpass].lower;
  if (ceiling <= lowest || !(lowpassHz > 0)) return 0.0;
  return 1000.0 * std::log(lowpassHz * 0.002) / std::log(ceiling * 0.002);
}

}  // namespace

ParamLabelInfo ParamLabel(int index) {
  switch (index) {
    case kPredelay:
    case kRoomSize:
    case kLowpass:
    case kDecay:
      return {kParamRanges[index].label, NumberKind::kInteger};
    case kDiffusion:
    case kDamping:
    case kMix:
      return {kParamRanges[index].label, NumberKind::kTwoDecimals};
    default:
      return {"", NumberKind::kNone};
  }
}

int NextEditParam(int index, int direction) {
  const bool forward = direction == 1;
  switch (index) {
    case kPredelay:
      return forward ? kDecay : kMix;
    case kLowpass:
      return forward ? kMix : kDecay;
    case kDecay:
      return forward ? kLowpass : kPredelay;
    case kMix:
      return forward ? kPredelay : kLowpass;
    default:
      return forward ? index + 1 : index - 1;
  }
}

double LowpassMappingCeiling(uint32_t outputRate) {
  if (outputRate == 0) return kParamRanges[kLowpass].upper;
  return LowpassCeiling(outputRate);
}

void ApplyPosition(ParamAccess& access, int index, double position) {
  const double f = position * 0.001;
  switch (index) {
    case kPredelay:
      access.Set(kPredelay, f * 249 + 1);
      break;
    case kLowpass: {
      const double lowest = kParamRanges[kLowpass].lower;
      const double ceiling = LowpassMappingCeiling(access.OutputRate());
      access.Set(kLowpass, ceiling <= lowest ? lowest : lowest * Power(ceiling * 0.002, f));
      break;
    }
    case kDecay:
      access.Set(kDecay, 300 * Power(kDecayRatio, f));
      access.Set(kRoomSize, 30 * Power(kRoomRatio, f));
      access.Set(kDiffusion, f * 0.5 + 0.5);
      access.Set(kDamping, f * 0.7 + 0.2);
      break;
    case kMix:
      access.Set(kMix, f);
      break;
    case kLevel:
      // Position 50 is exactly 0 dB, whatever the steps around it round to.
      access.Set(kLevel, std::trunc(position) == 50 ? 0.0 : position * 0.0033333333333333335 * -18 + 3);
      break;
    default:
      break;
  }
}

double DecayPosition(double decayMs) {
  if (!(decayMs > 0)) return 0.0;
  return 1000.0 * std::log(decayMs * 0.0033333333333333335) / std::log(kDecayRatio);
}

int32_t PositionFromValue(const ParamAccess& access, int index) {
  switch (index) {
    case kPredelay:
      return TruncatedPosition((access.Get(kPredelay) - 1) * 4.016064257028112);
    case kLowpass:
      return TruncatedPosition(LowpassPosition(access.Get(kLowpass), LowpassMappingCeiling(access.OutputRate())));
    case kDecay:
      return TruncatedPosition(DecayPosition(access.Get(kDecay)));
    case kMix:
      return TruncatedPosition(access.Get(kMix) * 1000);
    case kLevel:
      return TruncatedPosition((access.Get(kLevel) - 3) * -16.666666666666664);
    default:
      return 0;
  }
}

double DisplayValue(const ParamAccess& access, int index) {
  switch (index) {
    case kPredelay:
      return (access.Get(kPredelay) - 1) * 0.004016064257028112 * 250;  // 1..250 ms shown as 0..250
    case kDamping:
      return access.Get(kDamping) * kDampingDisplayScale;
    case kRoomSize:
    case kLowpass:
    case kDiffusion:
    case kDecay:
    case kMix:
    case kLevel:
      return access.Get(index);
    default:
      return 0.0;
  }
}

}  // namespace sombrevox
