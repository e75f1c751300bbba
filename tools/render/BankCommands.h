#pragma once
// The renderer's user preset bank commands: apply a stored preset, list a
// bank, add the given setting to a bank — with the product's own checks and
// messages (on standard error).
#include <cstdint>
#include <ostream>
#include <string>

#include "ReverbParams.h"

namespace sombrevox::render {

// The record of the preset `name` of `bankPath`, as the Presets dialog would
// apply it to a filter whose output runs at `samplesPerSec`: the low-pass held
// to the ceiling for that rate, every value clamped. False (the bank's message
// already shown) when the bank fails its check or load or lacks the name.
bool UserPresetParams(const std::string& bankPath, const std::string& name, uint32_t samplesPerSec,
                      ReverbParams* params);

// Prints the bank's records in file order. Exit status.
int ListBank(const std::string& bankPath, std::ostream& out);

// Adds `params` (clamped as the filter holds them) to the bank under `name`,
// creating the bank when the file is absent; refuses a name already there
// with the dialog's "already exists" message. Exit status.
int AddToBank(const std::string& bankPath, const std::string& name, const ReverbParams& params);

}  // namespace sombrevox::render
