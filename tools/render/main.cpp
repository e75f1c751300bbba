// sombrevox-render: the reverb engine on audio files, as the filter runs it.
#include <cstdio>
#include <iostream>
#include <string>

#include "BankCommands.h"
#include "FactoryPresets.h"
#include "RenderOptions.h"
#include "Renderer.h"

using namespace sombrevox;
using namespace sombrevox::render;

namespace {

void ListPresets() {
  std::printf("%-3s %-28s %8s %9s %8s %5s %7s %5s %5s %6s\n", "#", "name", "predelay", "size", "lowpass", "diff",
              "decay", "damp", "mix", "level");
  for (int i = 0; i < kFactoryPresetCount; ++i) {
    const ReverbParams& p = kFactoryPresets[i].params;
    std::printf("%-3d %-28s %8g %9g %8g %5g %7g %5g %5g %6g\n", i, kFactoryPresets[i].name, p.predelayMs, p.roomSize,
                p.lowpassHz, p.diffusion, p.decayMs, p.damping, p.mix, p.levelDb);
  }
}

}  // namespace

int main(int argc, char** argv) {
  RenderOptions options;
  std::string error;
  if (!ParseOptions(argc, argv, &options, &error)) {
    std::cerr << "sombrevox-render: " << error << "\n" << UsageText();
    return kExitUsage;
  }
  switch (options.action) {
    case RenderOptions::Action::kHelp:
      std::cout << UsageText();
      return kExitOk;
    case RenderOptions::Action::kListPresets:
      ListPresets();
      return kExitOk;
    case RenderOptions::Action::kListBank:
      return ListBank(options.bank, std::cout);
    case RenderOptions::Action::kAddToBank:
      return AddToBank(options.bank, options.addAs, options.params);
    case RenderOptions::Action::kRender:
      break;
  }
  return RenderFile(options, std::cerr);
}
