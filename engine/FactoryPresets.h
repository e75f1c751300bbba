#pragma once
#include "ReverbParams.h"

namespace sombrevox {

// A read-only preset of the product: a 64-byte NUL-padded name and its values.
// Values are as stored; several are outside their ranges and are clamped when
// the preset is applied.
struct FactoryPreset {
  char name[64];
  ReverbParams params;
};
static_assert(sizeof(FactoryPreset) == 128, "FactoryPreset is a 128-byte record");

constexpr int kFactoryPresetCount = 24;
extern const FactoryPreset kFactoryPresets[kFactoryPresetCount];

// Index of the factory preset called `name` (exact match), or -1.
int FindFactoryPreset(const char* name);

}  // namespace sombrevox
