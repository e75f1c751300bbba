#pragma once
// The display "OV_DISPLAY_CONTROL": a liquid-crystal style panel on the skin
// with two drawing modes, the parameters (four labelled values and the level,
// composed by ShowParameters) and the timed introduction, after which it
// posts WM_DISPLAY_READY to its parent. Without an introduction it posts it
// as soon as it is shown.
#include <windows.h>

namespace sombrevox {

LRESULT CALLBACK DisplayWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// One text of a drawing and its DrawText format (DT_*); a null text draws nothing.
struct DisplayText {
  const char* text;
  UINT format;
};
constexpr int kDisplayTextCount = 10;

// Draws the display in `mode`. kDisplayParameters: pairs 0/1, 2/3, 4/5 and 6/7
// are label and value of the four columns (the first in the larger bold
// font), 8 and 9 the left and right texts of the bottom strip. kDisplayIntro:
// advances the introduction one frame and draws texts 1 (upper) and 3
// (lower). Nothing is drawn before the display has captured its background.
void DrawDisplay(HWND display, int mode, const DisplayText (&texts)[kDisplayTextCount]);

// Draws the vertical level meter straight onto `window`: `count` segments over
// `height` pixels from (left, top), lit from the bottom for a value of 0..300.
void DrawLevelMeter(HWND window, int value, int left, int top, int segmentWidth, int height, int count);

// 1 on the NT family, 2 on older systems below version 4, otherwise 0 (from GetVersion).
int IsNtPlatform();

}  // namespace sombrevox
