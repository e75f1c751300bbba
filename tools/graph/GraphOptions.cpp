#include "GraphOptions.h"

#include "ToolArguments.h"

namespace sombrevox::graph {

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
  tools::ArgumentWalker args(argc, argv);
  std::string arg, v;
  while (args.NextOption(&arg)) {
    if (arg == "--help" || arg == "-h") {
      o->help = true;
    } else if (arg == "--preset") {
      if (!args.Value(&o->preset, error)) return false;
    } else if (arg == "--params") {
      if (!args.Value(&v, error) || !ParseParamList(v, &o->params, error)) return false;
      o->hasParams = true;
    } else if (arg == "--bench") {
      o->bench = true;
    } else if (arg == "--timeout") {
      if (!args.WholeValue(1, 86400, "seconds", &o->timeoutSeconds, error)) return false;
    } else {
      *error = "unknown option " + arg;
      return false;
    }
  }
  return o->help || args.InputAndOutput(&o->input, &o->output, error);
}

}  // namespace sombrevox::graph
