// The page's five controls: made at WM_INITDIALOG, started, enabled once the
// display is ready, and refreshed from the filter.
#include <algorithm>

#include "ControlMessages.h"
#include "Module.h"
#include "ParameterMapping.h"
#include "PluginSettings.h"
#include "ResourceIds.h"
#include "ReverbParams.h"
#include "ReverbPropertyPage.h"
#include "SettingsAccess.h"

namespace sombrevox {
namespace {

struct ChildControl {
  int id;
  const char* className;
  const char* title;
  DWORD style;
  int x, y, width, height;  // pixels on the skin
};

// Created disabled; the knob, the slider and the display are shown by
// InitControls, the select buttons at once.
constexpr DWORD kSelectStyle = WS_CHILD | WS_VISIBLE | WS_DISABLED | BS_OWNERDRAW;
const ChildControl kControls[] = {
    {IDC_LEVEL, kSliderClass, "Level", WS_CHILD | WS_DISABLED, 382, 15, 23, 84},
    {IDC_VALUE, kKnobClass, "Value", WS_CHILD | WS_DISABLED, 11, 13, 81, 81},
    {IDC_DISPLAY, kDisplayClass, "Display", WS_CHILD | WS_DISABLED, 141, 34, 184, 38},
    {IDC_SELECT_LEFT, "BUTTON", "Select Sx Button", kSelectStyle, 89, 80, 22, 19},
    {IDC_SELECT_RIGHT, "BUTTON", "Select Dx Button", kSelectStyle, 111, 80, 22, 19},
};

HBITMAP LoadButtonBitmap(int id) { return LoadBitmapA(ModuleInstance, MAKEINTRESOURCEA(id)); }

}  // namespace

int ReverbPropertyPage::SelectedParam() const {
  return editorLink_ ? static_cast<int>(editorLink_->selectedParam) : static_cast<int>(kMix);
}

void ReverbPropertyPage::SetSelectedParam(int index) {
  if (editorLink_) editorLink_->selectedParam = index;
}

HWND ReverbPropertyPage::Control(int id) const { return window_ ? GetDlgItem(window_, id) : nullptr; }

void ReverbPropertyPage::CreateControls() {
  for (const ChildControl& control : kControls) {
    CreateWindowExA(0, control.className, control.title, control.style, control.x, control.y, control.width,
                    control.height, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), ModuleInstance,
                    nullptr);
  }
  HandSettingsToControls(settings_.Get());
  leftNormal_.Reset(LoadButtonBitmap(IDB_LEFT_DIM));
  leftPressed_.Reset(LoadButtonBitmap(IDB_LEFT_LIT));
  rightNormal_.Reset(LoadButtonBitmap(IDB_RIGHT_DIM));
  rightPressed_.Reset(LoadButtonBitmap(IDB_RIGHT_LIT));
}

void ReverbPropertyPage::HandSettingsToControls(IReverbSettings* settings) {
  const auto pointer = reinterpret_cast<WPARAM>(settings);
  SendMessageA(Control(IDC_LEVEL), CTL_SETSETTINGS, pointer, 0);
  SendMessageA(Control(IDC_VALUE), CTL_SETSETTINGS, pointer, 0);
}

void ReverbPropertyPage::EnableControls() {
  for (int id : {IDC_VALUE, IDC_LEVEL, IDC_SELECT_LEFT, IDC_SELECT_RIGHT, IDC_DISPLAY}) EnableWindow(Control(id), TRUE);
}

void ReverbPropertyPage::InitControls() {
  HWND slider = Control(IDC_LEVEL);
  ShowWindow(slider, SW_SHOWNORMAL);
  SendMessageA(slider, CTL_SETMIN, 0, 0);
  SendMessageA(slider, CTL_SETMAX, kSliderPositions, 0);
  HWND knob = Control(IDC_VALUE);
  ShowWindow(knob, SW_SHOWNORMAL);
  SendMessageA(knob, CTL_SETMIN, 0, 0);
  SendMessageA(knob, CTL_SETMAX, kKnobPositions, 0);
  // The intro plays only on the editor's first opening for this filter, and
  // only when the user wants it.
  const bool intro =
      editorLink_ && editorLink_->firstOpen && editorLink_->settings && editorLink_->settings->showPresentation;
  HWND display = Control(IDC_DISPLAY);
  SendMessageA(display, DISPLAY_SETMODE, intro ? 1 : 0, 0);
  ShowWindow(display, SW_SHOWNORMAL);
}

int ReverbPropertyPage::UpdateControls(int which) {
  if (!settings_ || !window_) return 0;
  if (which != 0 && which != PAGE_NOTIFY_ID) return 1;
  IReverbSettings* settings = settings_.Get();
  if (HWND knob = Control(IDC_VALUE)) {
    double lowpass = 0.0;
    settings->GetLowpass(&lowpass);
    // While no output format is known the ceiling is the top of the range:
    // a filter not yet connected keeps the cut-off it was given.
    const double ceiling = LowpassMappingCeiling(SettingsAccess(settings).OutputRate());
    SetSelectedParam(kMix);
    SendMessageA(knob, CTL_SETPOS, LOWORD(PositionFromValue(settings, kMix)), 0);
    SendMessageA(knob, KNOB_SETPARAM, kMix, 0);
    SendMessageA(Control(IDC_LEVEL), SLIDER_SETPARAM, kMix, 0);
    settings->SetLowpass(std::min(lowpass, ceiling));
  }
  if (HWND slider = Control(IDC_LEVEL))
    SendMessageA(slider, CTL_SETPOS, LOWORD(PositionFromValue(settings, kLevel)), 0);
  if (PageReady()) OnShowParameters();
  return 1;
}

}  // namespace sombrevox
