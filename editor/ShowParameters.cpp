#include "ShowParameters.h"

#include "ControlMessages.h"
#include "DisplayControl.h"
#include "DisplayTexts.h"
#include "ResourceIds.h"
#include "SettingsAccess.h"

namespace sombrevox {

void ShowParameters(HWND display, IReverbSettings* settings, int index) {
  if (!display || !settings) return;
  const DisplayTexts composed = ComposeDisplayTexts(SettingsAccess(settings), index);
  DisplayText texts[kDisplayTextCount];
  for (int column = 0; column < 4; ++column) {
    texts[2 * column] = {composed.columns[column].label, DT_SINGLELINE | DT_RIGHT};
    texts[2 * column + 1] = {composed.columns[column].value.c_str(), DT_SINGLELINE | DT_RIGHT | DT_BOTTOM};
  }
  texts[8] = {"", DT_SINGLELINE | DT_VCENTER};
  texts[9] = {composed.level.c_str(), DT_SINGLELINE | DT_VCENTER | DT_RIGHT};
  DrawDisplay(display, kDisplayParameters, texts);

  // The meter shows the slider's position: the higher the fader, the more segments.
  HWND slider = GetDlgItem(GetParent(display), IDC_LEVEL);
  if (!slider) return;
  const int position = static_cast<int>(SendMessageA(slider, CTL_GETPOS, 0, 0));
  DrawLevelMeter(display, kSliderPositions - position, 177, 4, 4, 24, 9);
}

}  // namespace sombrevox
