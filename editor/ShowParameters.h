#pragma once
// Composes and draws the display's parameters mode for the selected index:
// the four parameters of the edit cycle from the selection on, the level, and
// the level meter after the level slider (the display's sibling IDC_LEVEL).
// The page, the knob and the slider call it after every change. Nothing
// happens without a display or settings.
#include <windows.h>

#include "SombrevoxLight.h"

namespace sombrevox {

void ShowParameters(HWND display, IReverbSettings* settings, int index);

}  // namespace sombrevox
