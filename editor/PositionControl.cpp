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

void OnDoubleClick(HWND control, PositionState& state, int popupParam) {
  state.popupParam = popupParam;
  OpenValueEntry(control, state.settings, popupParam);
}

LRESULT OnPaint(HWND control) {
  PAINTSTRUCT paint;
  BeginPaint(control, &paint);
  EndPaint(control, &paint);
  return 0;
}

}  // namespace

bool HandleSharedMessage(HWND control, PositionState& state, const PositionControlKind& kind, UINT message,
                         WPARAM wParam, LPARAM lParam, LRESULT* result) {
  *result = 0;
  if (message == kind.paramMessage) {
    state.paramIndex = static_cast<int>(wParam);
    return true;
  }
  switch (message) {
    case WM_PAINT:
      OnPaint(control);
      return true;
    case WM_ERASEBKGND:
      *result = 1;
      return true;
    case WM_LBUTTONDOWN:
      OnButtonDown(control, state);
      return true;
    case WM_LBUTTONUP:
      OnButtonUp(state);
      return true;
    case WM_CAPTURECHANGED:
      OnCaptureChanged(control, state, reinterpret_cast<HWND>(lParam));
      return true;
    case CTL_SETMIN:
      OnSetMin(state, wParam);
      return true;
    case CTL_SETMAX:
      OnSetMax(state, wParam);
      return true;
    case WM_LBUTTONDBLCLK:
      OnDoubleClick(control, state, kind.popupParam < 0 ? state.paramIndex : kind.popupParam);
      return true;
    case CTL_SETPOS:
      state.position = LOWORD(wParam);
      kind.draw(control);
      return true;
    case CTL_GETPOS:
      *result = state.position;
      return true;
    case CTL_SETSETTINGS:
      state.settings = reinterpret_cast<IReverbSettings*>(wParam);
      return true;
    default:
      return false;
  }
}

bool IsDragging(HWND control, const PositionState& state) { return state.dragging && IsWindowEnabled(control); }

void ApplyAndShow(HWND control, const PositionState& state, int index) {
  if (!state.settings) return;
  ApplyPosition(state.settings, index, state.position);
  ShowParameters(GetDlgItem(GetParent(control), IDC_DISPLAY), state.settings, state.paramIndex);
}

}  // namespace sombrevox
