#pragma once
#include <ostream>

#include "RenderOptions.h"

namespace sombrevox::render {

// Exit statuses of the renderer.
constexpr int kExitOk = 0;
constexpr int kExitUsage = 1;
constexpr int kExitRefused = 2;  // unreadable or unsupported input, failed output

// Reverberates options.input into options.output as the filter would: blocks
// of options.blockFrames (mode 0 first, then 1), then the tail. Writes through
// a temporary file beside the output, renamed only on success.
int RenderFile(const RenderOptions& options, std::ostream& err);

}  // namespace sombrevox::render
