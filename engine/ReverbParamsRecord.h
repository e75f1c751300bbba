#pragma once
// The one reverb setting record, plain C++ with no other dependency: the
// engine, the module's public header for hosts and the preset files share it.
#include <cstddef>

namespace sombrevox {

// Eight doubles in this order, nothing between them (64 bytes): kept byte for
// byte by the persistence stream, the preset files and the parameter
// interface's GetParams/SetParams. The ranges live in kParamRanges.
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

static_assert(sizeof(ReverbParams) == 64, "ReverbParams is a 64-byte record");
static_assert(offsetof(ReverbParams, predelayMs) == 0 && offsetof(ReverbParams, roomSize) == 8 &&
                  offsetof(ReverbParams, lowpassHz) == 16 && offsetof(ReverbParams, diffusion) == 24 &&
                  offsetof(ReverbParams, decayMs) == 32 && offsetof(ReverbParams, damping) == 40 &&
                  offsetof(ReverbParams, mix) == 48 && offsetof(ReverbParams, levelDb) == 56,
              "ReverbParams keeps its fields in stream order, 8 bytes apart");

}  // namespace sombrevox
