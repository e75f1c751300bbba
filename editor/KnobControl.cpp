#include "KnobControl.h"

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

struct KnobState {
  PositionState control;
  Bitmap face;     // the skin under the knob with the current face drawn on it
  int faceToggle;  // non-zero: the first face bitmap is drawn next
};

constexpr int kPointerOuterRadius = 19;
constexpr int kPointerInnerRadius = 5;

Point CentreOf(const RECT& client) { return {(client.left + client.right) / 2, (client.top + client.bottom) / 2}; }

void DrawLine(HDC dc, HPEN pen, Point from, Point to) {
  Selection selected(dc, pen);
  MoveToEx(dc, from.x, from.y, nullptr);
  LineTo(dc, to.x, to.y);
}

LRESULT OnCreate(HWND window) {
  const LRESULT created = CreateState<KnobState>(window);
  if (created != 0) return created;
  KnobState& state = *StateOf<KnobState>(window);
  state.control = {0, kKnobPositions, 0, FALSE, nullptr, kMix};
  state.faceToggle = 1;
  return 0;
}

void OnShowWindow(HWND window) {
  KnobState& state = *StateOf<KnobState>(window);
  if (state.face) return;
  state.face.Reset(CaptureParentBackground(window, ControlModule(window)));
  ComposeKnobFace(window);
}

void OnMouseMove(HWND window, LPARAM lParam) {
  PositionState& control = StateOf<KnobState>(window)->control;
  if (!IsDragging(window, control)) return;
  RECT client{};
  GetClientRect(window, &client);
  const int next = KnobPointToPosition(control.minPos, control.maxPos, CentreOf(client),
                                       {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
  const int old = control.position;
  control.position = static_cast<WORD>(next);
  // The face turns one notch while the value moves inside the range.
  if (next != control.minPos && next != control.maxPos && next != old) ComposeKnobFace(window);
  DrawKnob(window);
  ApplyAndShow(window, control, control.paramIndex);
}

}  // namespace

void DrawKnob(HWND knob) {
  const KnobState* state = StateOf<KnobState>(knob);
  if (!state || !state->face) return;
  OffscreenPicture picture(knob, state->face.Get());
  HDC dc = picture.Dc();
  if (!dc) return;
  const PositionState& control = state->control;
  const Point centre = CentreOf(picture.Client());
  const Point outer = KnobPointerEnd(control.minPos, control.maxPos, control.position, centre, kPointerOuterRadius);
  const Point inner = KnobPointerEnd(control.minPos, control.maxPos, control.position, centre, kPointerInnerRadius);
  Pen shadow(CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
  Pen pointer(CreatePen(PS_SOLID, 1, RGB(137, 137, 137)));
  DrawLine(dc, shadow.Get(), {inner.x + 1, inner.y + 1}, {outer.x + 1, outer.y + 1});
  DrawLine(dc, pointer.Get(), inner, outer);
  picture.Show();
}

void ComposeKnobFace(HWND knob) {
  KnobState* state = StateOf<KnobState>(knob);
  if (!state) return;
  const int id = state->faceToggle ? IDB_KNOB_A : IDB_KNOB_B;
  state->faceToggle = !state->faceToggle;
  const KeyedImage image(ControlModule(knob), id);
  if (!image || !state->face) return;
  RECT client{};
  GetClientRect(knob, &client);
  const SIZE size = image.Size();
  MemoryDc faceDc(nullptr);
  Selection onFace(faceDc.Get(), state->face.Get());
  image.Draw(faceDc.Get(), client.left + (client.right - client.left - size.cx) / 2,
             client.top + (client.bottom - client.top - size.cy) / 2);
}

LRESULT CALLBACK KnobWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // The knob edits the parameter it is set to, also in the value-entry popup.
  static const PositionControlKind knob = {
      OnCreate, DestroyState<KnobState>, PositionStateOf<KnobState>, OnShowWindow, OnMouseMove, DrawKnob, KNOB_SETPARAM,
      -1};
  return PositionWindowProc(knob, window, message, wParam, lParam);
}

}  // namespace sombrevox
