#pragma once
// The level fader "OV_SLIDER_CONTROL": a cap that follows the pointer inside
// its band, writes the output level on every move (position 0 +3 dB at the
// top, 50 exactly 0 dB, 300 -15 dB) and opens the value-entry popup for the
// level on a double-click.
#include <windows.h>

namespace sombrevox {

LRESULT CALLBACK SliderWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Draws the cap over the skin at the slider's position (nothing before the
// slider has been shown once, or when the cap's bitmap cannot be loaded).
void DrawSlider(HWND slider);

}  // namespace sombrevox
