#pragma once
// The command line of sombrevox-graph.
#include <cstdint>
#include <string>

#include "ReverbParams.h"

namespace sombrevox::graph {

struct GraphOptions {
  bool help = false;
  std::string input;
  std::string output;
  // --preset: an index 0..23 or a factory preset name, as the filter names it.
  std::string preset;
  bool hasParams = false;
  ReverbParams params{};  // --params, applied after the preset
  bool bench = false;     // report frames per second and wall time
  uint32_t timeoutSeconds = 600;
};

// Parses argv into `options`; on a usage error returns false with `error` set.
bool ParseGraphOptions(int argc, char** argv, GraphOptions* options, std::string* error);

const char* GraphUsageText();

}  // namespace sombrevox::graph
