#pragma once
// Command-line values shared by the project's tools (native and Windows).
#include <string>

#include "ReverbParams.h"

namespace sombrevox::tools {

// The whole text as a number (strtod), nothing left over.
bool ParseNumber(const std::string& text, double* value);

// "PREDELAY,SIZE,LOWPASS,DIFFUSION,DECAY,DAMPING,MIX,LEVEL": eight numbers in
// field order into `params`, unclamped. On failure `error` says why.
bool ParseParamList(const std::string& text, ReverbParams* params, std::string* error);

}  // namespace sombrevox::tools
