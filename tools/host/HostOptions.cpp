#include "HostOptions.h"

#include "ToolArguments.h"

namespace sombrevox::host {

const char* HostUsageText() {
  return "usage: sombrevox-host [--module OVSombrevoxLight.dll] [--screenshot FILE.png] [--timeout SECONDS]\n"
         "Creates the reverb filter and shows its property page in the platform's property frame,\n"
         "as a host application does. Without --module the filter must be registered (regsvr32\n"
         "OVSombrevoxLight.dll); with it the filter and the page come from that file, registered for\n"
         "this process only. --screenshot waits for the editor to be ready (after the startup\n"
         "presentation, answering the About text dialog of a first opening), writes the editor as\n"
         "a PNG file and closes the frame; --timeout bounds that wait (default 60 s).\n"
         "Exit status 0 on success, 2 on any failure.\n";
}

bool ParseHostOptions(int argc, char** argv, HostOptions* o, std::string* error) {
  tools::ArgumentWalker args(argc, argv);
  std::string arg;
  while (args.NextOption(&arg)) {
    if (arg == "--help" || arg == "-h") {
      o->help = true;
    } else if (arg == "--module") {
      if (!args.Value(&o->module, error)) return false;
    } else if (arg == "--screenshot") {
      if (!args.Value(&o->screenshot, error)) return false;
    } else if (arg == "--timeout") {
      if (!args.WholeValue(1, 3600, "seconds", &o->timeoutSeconds, error)) return false;
    } else {
      *error = "unknown option " + arg;
      return false;
    }
  }
  return args.NoPlainArguments(error);
}

}  // namespace sombrevox::host
