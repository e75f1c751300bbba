#pragma once
// The editor's custom controls as the property page sees them: their window
// classes and the messages they take. The knob and the slider share their
// position and settings messages; each takes the parameter index under a
// number of its own.
#include <windows.h>

namespace sombrevox {

constexpr char kSliderClass[] = "OV_SLIDER_CONTROL";
constexpr char kKnobClass[] = "OV_KNOB_CONTROL";
constexpr char kDisplayClass[] = "OV_DISPLAY_CONTROL";

// Knob and slider.
constexpr UINT CTL_SETMIN = WM_USER + 1;         // wParam: lowest position
constexpr UINT CTL_SETMAX = WM_USER + 2;         // wParam: highest position
constexpr UINT CTL_SETPOS = WM_USER + 3;         // wParam: position in the low word; redraws, writes nothing
constexpr UINT CTL_GETPOS = WM_USER + 4;         // returns the position
constexpr UINT SLIDER_SETPARAM = WM_USER + 5;    // wParam: the index the slider's display refresh shows first
constexpr UINT KNOB_SETPARAM = WM_USER + 6;      // wParam: the parameter index the knob edits
constexpr UINT CTL_SETSETTINGS = WM_USER + 101;  // wParam: IReverbSettings* (borrowed), 0 to stop writing

// Display.
constexpr UINT DISPLAY_SETMODE = WM_USER + 1;  // wParam low word: 1 run the intro when shown, 0 none
constexpr UINT DISPLAY_GETMODE = WM_USER + 2;  // returns the mode

// Drawing modes of DrawDisplay.
constexpr int kDisplayParameters = 1;
constexpr int kDisplayIntro = 2;

// The knob's range on the page and the slider's.
constexpr WORD kKnobPositions = 1000;
constexpr WORD kSliderPositions = 300;

// Registers the three control classes for `module` (whose bitmaps and
// popup dialog they use) unless they are registered already. False when one
// cannot be registered. The classes stay registered until
// UnregisterEditorControls.
bool RegisterEditorControls(HINSTANCE module);
void UnregisterEditorControls(HINSTANCE module);

}  // namespace sombrevox
