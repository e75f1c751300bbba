#pragma once
// The knob "OV_KNOB_CONTROL": follows the pointer's angle around its centre
// while dragged, writes the selected parameter on every move, draws a face
// whose ridges alternate as the value changes, and opens the value-entry
// popup on a double-click.
#include <windows.h>

namespace sombrevox {

LRESULT CALLBACK KnobWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Draws the knob's face with the pointer line for its position (nothing
// before the knob has been shown once).
void DrawKnob(HWND knob);

// Draws the next of the two face bitmaps over the knob's face.
void ComposeKnobFace(HWND knob);

}  // namespace sombrevox
