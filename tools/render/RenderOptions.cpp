#include "RenderOptions.h"

#include "FactoryPresets.h"
#include "OutputFormat.h"
#include "PresetChoice.h"
#include "ToolArguments.h"

namespace sombrevox::render {
namespace {

using tools::ParseParamList;

bool ParsePreset(const std::string& text, ReverbParams* params, std::string* error) {
  const int found = ChooseFactoryPreset(text, error);
  if (found < 0) return false;
  *params = kFactoryPresets[found].params;
  return true;
}

}  // namespace

const char* UsageText() {
  return "usage: sombrevox-render IN OUT [--preset N|NAME] [--params "
         "PREDELAY,SIZE,LOWPASS,DIFFUSION,DECAY,DAMPING,MIX,LEVEL]\n"
         "                       [--block FRAMES] [--format TYPE]\n"
         "                       [--bank FILE.prs --user-preset NAME]\n"
         "       sombrevox-render --list-presets\n"
         "       sombrevox-render --list-bank FILE.prs\n"
         "       sombrevox-render --add-to-bank FILE.prs --as NAME [--preset N|NAME] [--params ...]\n"
         "Reverberates IN (any file libsndfile reads, mono or stereo, any rate) into a stereo file OUT\n"
         "of the same rate, tail included: 16-bit and 32-bit float samples through the filter's own\n"
         "loops, any other type read as floats through the float loop. OUT keeps the input's sample\n"
         "type (or --format TYPE: pcm8, pcm16, pcm24, pcm32, float, double, ulaw, alaw, vorbis, opus,\n"
         "mp3) and takes the container its extension names (the input's when it names none).\n"
         "--preset takes an index, a name from --list-presets, or a name without its number (\"hall\").\n"
         "The default setting is preset 0.\n";
}

bool ParseOptions(int argc, char** argv, RenderOptions* o, std::string* error) {
  o->params = kFactoryPresets[0].params;
  tools::ArgumentWalker args(argc, argv);
  std::string arg, v;
  while (args.NextOption(&arg)) {
    if (arg == "--list-presets") {
      o->action = RenderOptions::Action::kListPresets;
    } else if (arg == "--bank") {
      if (!args.Value(&o->bank, error)) return false;
    } else if (arg == "--user-preset") {
      if (!args.Value(&o->userPreset, error)) return false;
    } else if (arg == "--list-bank") {
      if (!args.Value(&o->bank, error)) return false;
      o->action = RenderOptions::Action::kListBank;
    } else if (arg == "--add-to-bank") {
      if (!args.Value(&o->bank, error)) return false;
      o->action = RenderOptions::Action::kAddToBank;
    } else if (arg == "--as") {
      if (!args.Value(&o->addAs, error)) return false;
    } else if (arg == "--help" || arg == "-h") {
      o->action = RenderOptions::Action::kHelp;
    } else if (arg == "--preset") {
      if (!args.Value(&v, error) || !ParsePreset(v, &o->params, error)) return false;
    } else if (arg == "--params") {
      if (!args.Value(&v, error) || !ParseParamList(v, &o->params, error)) return false;
    } else if (arg == "--format") {
      if (!args.Value(&v, error)) return false;
      o->outputSubtype = SubtypeNamed(v);
      if (o->outputSubtype == 0) {
        *error = "--format takes one of " + SubtypeNames();
        return false;
      }
    } else if (arg == "--block") {
      if (!args.WholeValue(1, 1 << 22, "frames", &o->blockFrames, error)) return false;
    } else {
      *error = "unknown option " + arg;
      return false;
    }
  }
  if (o->action == RenderOptions::Action::kAddToBank && o->addAs.empty()) {
    *error = "--add-to-bank needs --as NAME";
    return false;
  }
  if (o->action != RenderOptions::Action::kRender) return true;
  if (o->userPreset.empty() != o->bank.empty()) {
    *error = "--bank and --user-preset go together";
    return false;
  }
  return args.InputAndOutput(&o->input, &o->output, error);
}

}  // namespace sombrevox::render
