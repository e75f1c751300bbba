#include "ReverbParams.h"

namespace sombrevox {

const ParamRange kParamRanges[kParamCount] = {
    {"Predly", "ms", 1.0, 250.0, 33.0},
    {"Size", "", 30.0, 20000.0, 250.0},
    {"LP Cut", "Hz", 500.0, 16000.0, 10000.0},
    {"Diff", "", 0.5, 1.0, 1.0},
    {"Decay", "ms", 300.0, 8000.0, 1200.0},
    {"Damp", "", 0.2, 0.9, 0.5},
    {"Mix", "", 0.0, 1.0, 0.5},
    {"", "dB", -15.0, 3.0, 0.0},
};

double& ParamAt(ReverbParams& p, int index) { return (&p.predelayMs)[index]; }

double ParamAt(const ReverbParams& p, int index) { return (&p.predelayMs)[index]; }

double ClampParam(int index, double v) {
  const ParamRange& r = kParamRanges[index];
  if (!(v >= r.lower)) return r.lower;
  if (v > r.upper) return r.upper;
  return v;
}

void ClampAll(ReverbParams& p) {
  for (int i = 0; i < kParamCount; ++i) ParamAt(p, i) = ClampParam(i, ParamAt(p, i));
}

ReverbParams DefaultParams() {
  ReverbParams p{};
  for (int i = 0; i < kParamCount; ++i) ParamAt(p, i) = kParamRanges[i].initial;
  return p;
}

}  // namespace sombrevox
