#pragma once
// Between a user preset and the filter: capturing the filter's setting into a
// record, and applying a record to the filter.
#include <windows.h>

#include <string_view>

#include "Preset.h"
#include "SombrevoxLight.h"

namespace sombrevox {

// Puts `name` (cut to 31 characters) into the record and the filter's eight
// current values into its setting, read one by one in field order.
void CapturePreset(Preset& record, std::string_view name, IReverbSettings* settings) noexcept;

// Sets the record's eight values on the filter, one setter each in field
// order (each clamps), with the low-pass cut-off held to the ceiling of the
// filter's output sample rate (16000 Hz while it has no output format); then
// posts WM_REVERB_PRESET_SELECTED to `pageWindow` when that window exists, so
// that the page shows the new values.
void ApplyPreset(const Preset& record, IReverbSettings* settings, HWND pageWindow) noexcept;

}  // namespace sombrevox
