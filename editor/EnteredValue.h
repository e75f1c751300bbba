#pragma once
// The value-entry popup's arithmetic: the text it opens with, the number read
// from what the user typed, its clamp, and how it is written.
#include <cstdint>

#include "NumberText.h"
#include "ParamAccess.h"

namespace sombrevox {

// The typed value held to what parameter `index` can show: pre-delay 0..250
// (display units), low-pass 500..the mapping's ceiling for `outputRate`
// (0: unknown), decay 300..8000, mix 0..1, level -15..3; other indices
// unchanged. A value not at least the lower bound (a NaN too) becomes the
// lower bound.
double ClampEnteredValue(double value, int index, uint32_t outputRate);

// The most characters of typed text that are read.
constexpr int kMaxEnteredLength = 31;

// The leading decimal number of `text`, with "," taken as the decimal point;
// 0 when the text does not start with one. Unlike the C library's reading it
// never depends on the process's locale.
double ParseEnteredNumber(const char* text);

// The popup's first text: the value as the display shows it (two decimals
// for the mix and the level); empty for indices the popup does not edit.
NumberText EntryText(const ParamAccess& access, int index);

struct EnteredResult {
  bool applied;      // false for indices the popup does not edit
  int32_t position;  // the control position that now shows the value
};

// Writes the value typed for parameter `index`. A typed pre-delay or decay is
// written through its control position, so that decay moves room size,
// diffusion and damping with it, as the knob does.
EnteredResult ApplyEnteredText(ParamAccess& access, int index, const char* text);

}  // namespace sombrevox
