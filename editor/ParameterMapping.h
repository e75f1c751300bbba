#pragma once
// The arithmetic between the editor's controls and the reverb parameters:
// labels and number forms, the edit cycle of the select buttons, control
// positions to values (ApplyPosition) and back (PositionFromValue), and the
// values as the display shows them. Knob positions run 0..1000, the level
// slider's 0..300 (0 at the top).
#include <cstdint>

#include "ParamAccess.h"

namespace sombrevox {

enum class NumberKind { kNone, kInteger, kTwoDecimals };

struct ParamLabelInfo {
  const char* text;  // "" for indices without a label (the level among them)
  NumberKind kind;
};

// Label and number form of parameter `index` in the display.
ParamLabelInfo ParamLabel(int index);

// The select buttons' cycle Predly -> Decay -> LP Cut -> Mix -> Predly;
// direction 1 steps forward, any other value backward. Indices outside the
// cycle step by one.
int NextEditParam(int index, int direction);

// The highest cut-off the low-pass mapping reaches: the engine's ceiling for
// the output rate, or the top of the range (16000 Hz) while no output format
// is known, so that nothing is lowered before the filter is connected.
double LowpassMappingCeiling(uint32_t outputRate);

// Writes the value(s) for control position `position` of parameter `index`.
// Decay also drives room size, diffusion and damping. Where the ceiling is
// 500 Hz or less (output rates under 2000 Hz) the low-pass has no span left
// and is written as 500 Hz for every position. Indices 1, 3, 5 and >7 write
// nothing.
void ApplyPosition(ParamAccess& access, int index, double position);

// The control position that shows the current value of parameter `index`
// (0, 2, 4, 6 and 7; 0 for the others), truncated toward zero. A low-pass
// above the ceiling gives a position above 1000; with no span left (see
// ApplyPosition) the low-pass position is 0.
int32_t PositionFromValue(const ParamAccess& access, int index);

// The unrounded knob position of a decay time: 1000 * ln(decay / 300) / ln(8000 / 300).
double DecayPosition(double decayMs);

// The value of parameter `index` as the display shows it: pre-delay 1..250 ms
// as 0..250, damping scaled by 20/19, the others as stored.
double DisplayValue(const ParamAccess& access, int index);

}  // namespace sombrevox
