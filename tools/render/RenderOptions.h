#pragma once
#include <cstdint>
#include <string>

#include "ReverbParams.h"

namespace sombrevox::render {

// What the command line asked for.
struct RenderOptions {
  enum class Action { kRender, kListPresets, kListBank, kAddToBank, kHelp };
  Action action = Action::kRender;
  std::string input;
  std::string output;
  ReverbParams params{};  // as given; clamped when applied, as the filter clamps
  uint32_t blockFrames = 4410;
  int outputSubtype = 0;   // --format: a libsndfile sample type; 0 keeps the input's
  std::string bank;        // --bank, --list-bank or --add-to-bank
  std::string userPreset;  // --user-preset: applied at the output rate
  std::string addAs;       // --as
};

// Parses argv into `options`. On a usage error returns false with `error` set.
bool ParseOptions(int argc, char** argv, RenderOptions* options, std::string* error);

const char* UsageText();

}  // namespace sombrevox::render
