#include "GraphOptions.h"

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace sombrevox::graph {
namespace {

bool ParseNumber(const std::string& text, double* value) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  *value = std::strtod(text.c_str(), &end);
  return errno == 0 && end && *end == '\0';
}

bool ParseParams(const std::string& text, ReverbParams* params, std::string* error) {
  std::vector<double> values;
  size_t start = 0;
  for (;;) {
    const size_t comma = text.find(',', start);
    const std::string item = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    double v = 0;
    if (!ParseNumber(item, &v)) {
      *error = "--params: '" + item + "' is not a number";
      return false;
    }
    values.push_back(v);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  if (values.size() != kParamCount) {
    *error = "--params takes eight values: PREDELAY,SIZE,LOWPASS,DIFFUSION,DECAY,DAMPING,MIX,LEVEL";
    return false;
  }
  for (int i = 0; i < kParamCount; ++i) ParamAt(*params, i) = values[i];
  return true;
}

}  // namespace

const char* GraphUsageText() {
  return "usage: sombrevox-graph IN.wav OUT.wav [--preset N|NAME] [--params PREDELAY,SIZE,LOWPASS,DIFFUSION,DECAY,DAMPING,MIX,LEVEL]\n"
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
      if (!value(&v) || !ParseParams(v, &o->params, error)) return false;
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
