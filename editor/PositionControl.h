#pragma once
// What the knob and the slider have in common: a position in a range, a drag
// that holds the mouse capture, the filter's settings they write through, and
// the parameter indices of the display refresh and of the value-entry popup.
#include <windows.h>

#include "SombrevoxLight.h"

namespace sombrevox {

struct PositionState {
  WORD minPos;
  WORD maxPos;
  WORD position;
  BOOL dragging;              // the control holds the mouse capture
  IReverbSettings* settings;  // borrowed: the page holds the reference; null writes nothing
  int paramIndex;             // the parameter index shown first (the knob's: the one it edits)
  int popupParam;             // the parameter index the value-entry popup edits
};

// Where the knob and the slider differ in the messages they share.
struct PositionControlKind {
  UINT paramMessage;   // the message that sets paramIndex
  void (*draw)(HWND);  // draws the control after CTL_SETPOS
  int popupParam;      // the index the popup edits; -1: the control's paramIndex
};

// The messages the knob and the slider handle alike: painting and erasing
// (drawing happens through their Draw functions), press, release and loss of
// the capture, the double-click, the range, the position, the parameter
// index and the settings. False for any other message.
bool HandleSharedMessage(HWND control, PositionState& state, const PositionControlKind& kind, UINT message,
                         WPARAM wParam, LPARAM lParam, LRESULT* result);

// A move changes the control only while it is enabled and dragging.
bool IsDragging(HWND control, const PositionState& state);

// Writes parameter `index` for the current position and refreshes the page's
// display (the sibling IDC_DISPLAY). Nothing without settings.
void ApplyAndShow(HWND control, const PositionState& state, int index);

}  // namespace sombrevox
