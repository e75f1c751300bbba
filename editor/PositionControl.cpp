#include "PositionControl.h"

#include "ControlMessages.h"
#include "ResourceIds.h"
#include "SettingsAccess.h"
#include "ShowParameters.h"
#include "ValueEntryPopup.h"

namespace sombrevox {

namespace {

void OnSetMin(PositionState& state, WPARAM minimum) {
  state.minPos = static_cast<WORD>(minimum);
  if (state.position < state.minPos) state.position = state.minPos;
}

void OnSetMax(PositionState& state, WPARAM maximum) {
  state.maxPos = static_cast<WORD>(maximum);
  if (state.position > state.maxPos) state.position = state.maxPos;
}

void OnButtonDown(HWND control, PositionState& state) {
  MSG pending;
  PeekMessageA(&pending, control, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE);
  if (state.dragging) return;
  SetCapture(control);
  state.dragging = TRUE;
}

void OnButtonUp(PositionState& state) {
  if (!state.dragging) return;
  state.dragging = FALSE;
  ReleaseCapture();
}

void OnCaptureChanged(HWND control, PositionState& state, HWND gaining) {
  // Another window took the mouse (a menu, a dialog, a window of the host):
  // the button's release will not come here, so the drag is over.
  if (gaining != control) state.dragging = FALSE;
}

void OnDoubleClick(HWND control, const PositionState& state, int popupParam) {
  OpenValueEntry(control, state.settings, popupParam);
}

LRESULT OnPaint(HWND control) {
  PAINTSTRUCT paint;
  BeginPaint(control, &paint);
  EndPaint(control, &paint);
  return 0;
}

}  // namespace

LRESULT PositionWindowProc(const PositionControlKind& kind, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) return kind.create(window);
  PositionState* state = kind.control(window);
  if (!state) return DefWindowProcA(window, message, wParam, lParam);
  if (message == kind.paramMessage) {
    state->paramIndex = static_cast<int>(wParam);
    return 0;
  }
  switch (message) {
    case WM_DESTROY:
      kind.destroy(window);
      return 0;
    case WM_PAINT:
      return OnPaint(window);
    case WM_ERASEBKGND:
      return 1;
    case WM_SHOWWINDOW:
      kind.showWindow(window);
      return 0;
    case WM_MOUSEMOVE:
      kind.mouseMove(window, lParam);
      return 0;
    case WM_LBUTTONDOWN:
      OnButtonDown(window, *state);
      return 0;
    case WM_LBUTTONUP:
      OnButtonUp(*state);
      return 0;
    case WM_CAPTURECHANGED:
      OnCaptureChanged(window, *state, reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_LBUTTONDBLCLK:
      OnDoubleClick(window, *state, kind.popupParam < 0 ? state->paramIndex : kind.popupParam);
      return 0;
    case CTL_SETMIN:
      OnSetMin(*state, wParam);
      return 0;
    case CTL_SETMAX:
      OnSetMax(*state, wParam);
      return 0;
    case CTL_SETPOS:
      state->position = LOWORD(wParam);
      kind.draw(window);
      return 0;
    case CTL_GETPOS:
      return state->position;
    case CTL_SETSETTINGS:
      state->settings = reinterpret_cast<IReverbSettings*>(wParam);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

bool IsDragging(HWND control, const PositionState& state) { return state.dragging && IsWindowEnabled(control); }

void ApplyAndShow(HWND control, const PositionState& state, int index) {
  if (!state.settings) return;
  ApplyPosition(state.settings, index, state.position);
  ShowParameters(GetDlgItem(GetParent(control), IDC_DISPLAY), state.settings, state.paramIndex);
}

}  // namespace sombrevox
