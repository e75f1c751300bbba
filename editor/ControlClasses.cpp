#include "ControlMessages.h"
#include "DisplayControl.h"
#include "KnobControl.h"
#include "SliderControl.h"
#include "WindowState.h"

namespace sombrevox {
namespace {

struct ControlClass {
  const char* name;
  WNDPROC procedure;
  UINT style;  // the knob and the slider take double-clicks
};

const ControlClass kControlClasses[] = {
    {kSliderClass, SliderWindowProc, CS_DBLCLKS},
    {kKnobClass, KnobWindowProc, CS_DBLCLKS},
    {kDisplayClass, DisplayWindowProc, 0},
};

}  // namespace

bool RegisterEditorControls(HINSTANCE module) {
  for (const ControlClass& control : kControlClasses) {
    WNDCLASSA existing{};
    if (GetClassInfoA(module, control.name, &existing)) continue;
    WNDCLASSA windowClass{};
    windowClass.style = control.style;
    windowClass.lpfnWndProc = control.procedure;
    windowClass.cbWndExtra = kStateWindowBytes;
    windowClass.hInstance = module;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = control.name;
    if (!RegisterClassA(&windowClass)) return false;
  }
  return true;
}

void UnregisterEditorControls(HINSTANCE module) {
  for (const ControlClass& control : kControlClasses) UnregisterClassA(control.name, module);
}

}  // namespace sombrevox
