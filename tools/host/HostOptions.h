#pragma once
// The command line of sombrevox-host.
#include <cstdint>
#include <string>

namespace sombrevox::host {

struct HostOptions {
  bool help = false;
  // --module: the module file to take the filter and its page from, without
  // its registration; empty: the registered classes, as any host does.
  std::string module;
  // --screenshot: the PNG file the editor goes to; the frame then closes by
  // itself. Empty: the frame stays until the user closes it.
  std::string screenshot;
  uint32_t timeoutSeconds = 60;  // how long the screenshot may take
};

// Parses argv into `options`; on a usage error returns false with `error` set.
bool ParseHostOptions(int argc, char** argv, HostOptions* options, std::string* error);

const char* HostUsageText();

}  // namespace sombrevox::host
