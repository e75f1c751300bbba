#include "GraphOptions.h"

#include <cstdint>
#include <vector>

#include "ToolArguments.h"

namespace sombrevox::graph {

using tools::ParseNumber;
using tools::ParseParamList;

const char* GraphUsageText() {
  return "usage: sombrevox-graph IN.wav OUT.wav [--preset N|NAME] [--params "
         "PREDELAY,SIZE,LOWPASS,DIFFUSION,DECAY,DAMPING,MIX,LEVEL]\n"
         "                       [--bench] [--timeout SECONDS]\n"
         "Reverberates IN.wav through the registered OVSombrevoxLight.dll in a DirectShow graph\n"
         "(File Source, WAVE Parser, the filter, Sample Grabber, Null Renderer, no clock) and writes\n"
         "the filter's stereo output, tail included, to OUT.wav in its sample type and rate.\n"
         "The filter must be registered first (regsvr32 OVSombrevoxLight.dll). --bench reports the\n"
         "filter's throughput in the graph. Exit status 0 on success, 2 on any failure.\n";
}

bool ParseGraphOptions(int argc, char** argv, GraphOptions* o, std::string* error) {
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&](std::string* out) {
      if (i + 1 >= argc) {
        *error = arg + " needs a value";
        return false;
      }
      *out = argv[++i];
      return true;
    };
    std::string v;
    if (arg == "--help" || arg == "-h") {
      o->help = true;
    } else if (arg == "--preset") {
      if (!value(&o->preset)) return false;
    } else if (arg == "--params") {
      if (!value(&v) || !ParseParamList(v, &o->params, error)) return false;
      o->hasParams = true;
    } else if (arg == "--bench") {
      o->bench = true;
    } else if (arg == "--timeout") {
      double seconds = 0;
      if (!value(&v)) return false;
      if (!ParseNumber(v, &seconds) || seconds < 1 || seconds > 86400 || seconds != static_cast<uint32_t>(seconds)) {
        *error = "--timeout takes a whole number of seconds from 1 to 86400";
        return false;
      }
      o->timeoutSeconds = static_cast<uint32_t>(seconds);
    } else if (arg.size() > 1 && arg[0] == '-') {
      *error = "unknown option " + arg;
      return false;
    } else {
      files.push_back(arg);
    }
  }
  if (o->help) return true;
  if (files.size() != 2) {
    *error = "give one input and one output file";
    return false;
  }
  o->input = files[0];
  o->output = files[1];
  return true;
}

}  // namespace sombrevox::graph
