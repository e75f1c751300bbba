#pragma once
#include <cstddef>
#include <string_view>

#include "ReverbParams.h"

namespace sombrevox {

// A name field holds at most 31 single-byte characters and their NUL.
constexpr std::size_t kPresetNameSize = 32;
constexpr std::size_t kPresetNameMaxLength = kPresetNameSize - 1;

// One user preset: the name as the user gave it (already trimmed) and the
// setting captured from the filter, unclamped.
struct Preset {
  char name[kPresetNameSize];
  ReverbParams params;
};

// The name of `preset` (up to its NUL, at most 31 characters even when the
// field lacks a NUL).
std::string_view PresetName(const Preset& preset);

// Puts the first 31 characters of `name` (up to an embedded NUL) into the name
// field and zeroes the rest of it, so that no stale bytes reach a file.
void SetPresetName(Preset& preset, std::string_view name);

// A preset of that name (cut as above) and setting.
Preset MakePreset(std::string_view name, const ReverbParams& params);

}  // namespace sombrevox
