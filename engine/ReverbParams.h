#pragma once
#include <cstddef>

namespace sombrevox {

// One reverb setting. Stored, streamed and kept in preset files byte for byte:
// eight doubles in this order, nothing between them. The module's public
// header carries the same definition for hosts; the guard lets both meet.
#ifndef SOMBREVOX_REVERB_PARAMS_DEFINED
#define SOMBREVOX_REVERB_PARAMS_DEFINED
struct ReverbParams {
  double predelayMs;
  double roomSize;
  double lowpassHz;
  double diffusion;
  double decayMs;
  double damping;
  double mix;
  double levelDb;
};
#endif
static_assert(sizeof(ReverbParams) == 64, "ReverbParams is a 64-byte record");

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
