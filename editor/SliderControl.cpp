#include "SliderControl.h"

#include <windowsx.h>

#include "BitmapHelpers.h"
#include "ControlGeometry.h"
#include "ControlMessages.h"
#include "GdiObjects.h"
#include "OffscreenPicture.h"
#include "PositionControl.h"
#include "ReverbParams.h"
#include "ResourceIds.h"
#include "WindowState.h"

namespace sombrevox {
namespace {

struct SliderState {
  PositionState control;
  Bitmap background;  // the skin under the slider
};

LRESULT OnCreate(HWND window) {
  const LRESULT created = CreateState<SliderState>(window);
  if (created != 0) return created;
  StateOf<SliderState>(window)->control = {0, kSliderPositions, 0, FALSE, nullptr, kMix};
  return 0;
}

void OnShowWindow(HWND window) {
  SliderState& state = *StateOf<SliderState>(window);
  if (!state.background) state.background.Reset(CaptureParentBackground(window, ControlModule(window)));
}

void OnMouseMove(HWND window, LPARAM lParam) {
  PositionState& control = StateOf<SliderState>(window)->control;
  const Point pointer = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  // Outside the band the cap stays where it was; it does not snap to an end.
  if (!IsDragging(window, control) || !InSliderBand(pointer)) return;
  control.position = static_cast<WORD>(SliderPointToPosition(control.maxPos, pointer.y));
  DrawSlider(window);
  ApplyAndShow(window, control, kLevel);
}

}  // namespace

void DrawSlider(HWND slider) {
  const SliderState* state = StateOf<SliderState>(slider);
  if (!state || !state->background) return;
  OffscreenPicture picture(slider, state->background.Get());
  const KeyedImage cap(ControlModule(slider), IDB_SLIDER_CAP);
  if (!picture.Dc() || !cap) return;
  const RECT& client = picture.Client();
  const SIZE size = cap.Size();
  const int x = client.left + (client.right - client.left - size.cx) / 2;
  const int y = SliderCapTop(state->control.position, state->control.maxPos, size.cy);
  cap.Draw(picture.Dc(), x, y);
  picture.Show();
}

LRESULT CALLBACK SliderWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // The slider always edits the level, also in the value-entry popup.
  static const PositionControlKind slider = {OnCreate,
                                             DestroyState<SliderState>,
                                             PositionStateOf<SliderState>,
                                             OnShowWindow,
                                             OnMouseMove,
                                             DrawSlider,
                                             SLIDER_SETPARAM,
                                             kLevel};
  return PositionWindowProc(slider, window, message, wParam, lParam);
}

}  // namespace sombrevox
