#pragma once

#include "ReverbParamsRecord.h"

namespace sombrevox {

constexpr int kParamCount = 8;

// Index of each field; the editor's parameter index follows the same order.
enum ParamIndex : int {
  kPredelay = 0,
  kRoomSize,
  kLowpass,
  kDiffusion,
  kDecay,
  kDamping,
  kMix,
  kLevel,
};

// The one home of every range: read by the clamp, the editor and the presets.
struct ParamRange {
  const char* label;  // the editor's caption ("" for the level, shown by the slider)
  const char* unit;
  double lower;
  double upper;
  double initial;
};

extern const ParamRange kParamRanges[kParamCount];

// Field i of a record (0..7, field order).
double& ParamAt(ReverbParams& p, int index);
double ParamAt(const ReverbParams& p, int index);

// v clamped to [lower, upper] of parameter `index`. A value that is not
// >= lower (a NaN included) becomes the lower bound.
double ClampParam(int index, double v);

// Clamps each field in place, in field order.
void ClampAll(ReverbParams& p);

// The record of factory preset 0.
ReverbParams DefaultParams();

}  // namespace sombrevox
