#pragma once
// What the knob and the slider have in common: a position in a range, a drag
// that holds the mouse capture, the filter's settings they write through, and
// the parameter indices of the display refresh and of the value-entry popup.
#include <windows.h>

#include "SombrevoxLight.h"
#include "WindowState.h"

namespace sombrevox {

struct PositionState {
  WORD minPos;
  WORD maxPos;
  WORD position;
  BOOL dragging;              // the control holds the mouse capture
  IReverbSettings* settings;  // borrowed: the page holds the reference; null writes nothing
  int paramIndex;             // the parameter index shown first (the knob's: the one it edits)
};

// The shared part of a control's state record (its member `control`), null
// when the window has no record.
template <typename State>
PositionState* PositionStateOf(HWND window) {
  State* state = StateOf<State>(window);
  return state ? &state->control : nullptr;
}

// How a knob or a slider differs from the other: its state record, three
// messages of its own and the details of the messages they share.
struct PositionControlKind {
  LRESULT (*create)(HWND);          // WM_CREATE: makes the state record
  void (*destroy)(HWND);            // WM_DESTROY: frees it
  PositionState* (*control)(HWND);  // the record's shared part; null when there is no record
  void (*showWindow)(HWND);         // WM_SHOWWINDOW
  void (*mouseMove)(HWND, LPARAM);  // WM_MOUSEMOVE
  void (*draw)(HWND);               // draws the control after CTL_SETPOS
  UINT paramMessage;                // the message that sets paramIndex
  int popupParam;                   // the index the popup edits; -1: the control's paramIndex
};

// The window procedure of both: painting and erasing (drawing happens through
// their Draw functions), press, release and loss of the capture, the
// double-click, the range, the position, the parameter index and the
// settings alike; the rest through `kind`. Messages before the state record
// exists or after it is freed go to DefWindowProcA.
LRESULT PositionWindowProc(const PositionControlKind& kind, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// A move changes the control only while it is enabled and dragging.
bool IsDragging(HWND control, const PositionState& state);

// Writes parameter `index` for the current position and refreshes the page's
// display (the sibling IDC_DISPLAY). Nothing without settings.
void ApplyAndShow(HWND control, const PositionState& state, int index);

}  // namespace sombrevox
