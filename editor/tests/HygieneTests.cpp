// GDI objects and device contexts of the controls: nothing left behind after
// opening and closing them, nothing deleted while still selected, also when
// a bitmap cannot be loaded.
#include <gtest/gtest.h>

#include "ControlMessages.h"
#include "DisplayControl.h"
#include "EditorWindowFixture.h"
#include "GdiObjectCounter.h"
#include "GuiTestSupport.h"
#include "KnobControl.h"
#include "ResourceIds.h"
#include "ReverbParams.h"
#include "ShowParameters.h"
#include "SliderControl.h"
#include "TestSupport.h"

namespace sombrevox::test {
namespace {

using HygieneTest = EditorWindowTest;

void Exercise(HWND knob, HWND slider, HWND display, IReverbSettings* settings) {
  PressAt(knob, {40, 40});
  MoveTo(knob, {10, 10});
  MoveTo(knob, {70, 10});
  ReleaseAt(knob, {70, 10});
  PressAt(slider, {11, 40});
  MoveTo(slider, {11, 20});
  ReleaseAt(slider, {11, 20});
  DisplayText intro[kDisplayTextCount] = {};
  intro[1] = {"Sombrevox Light", DT_SINGLELINE | DT_CENTER};
  DrawDisplay(display, kDisplayIntro, intro);
  ShowParameters(display, settings, kDecay);
}

TEST_F(HygieneTest, OpeningAndClosingTheControlsFiftyTimesLeavesNothing) {
  window_.reset();
  GdiObjectCounter counter;
  ASSERT_TRUE(counter.Installed());
  const int objects = counter.LiveObjects(), contexts = counter.LiveContexts();
  for (int round = 0; round < 50; ++round) {
    window_ = std::make_unique<SkinWindow>();
    slider_ = CreateControl(window_->get(), kSliderClass, IDC_LEVEL);
    knob_ = CreateControl(window_->get(), kKnobClass, IDC_VALUE);
    display_ = CreateControl(window_->get(), kDisplayClass, IDC_DISPLAY);
    StartControls();
    Exercise(knob_, slider_, display_, settings_.Get());
    RedrawWindow(window_->get(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    window_.reset();
    PumpMessages();
    ASSERT_EQ(counter.LiveObjects(), objects) << "round " << round;
  }
  EXPECT_EQ(counter.LiveContexts(), contexts);
  EXPECT_EQ(counter.DeletedWhileSelected(), 0);
}

TEST_F(HygieneTest, MissingBitmapsLeaveNothingBehind) {
  // A module with the skin only: no slider cap, no knob faces.
  HMODULE skinOnly = LoadLibraryA(WindowsPath(SOMBREVOX_SKIN_ONLY_PATH).c_str());
  ASSERT_TRUE(skinOnly);
  ASSERT_TRUE(RegisterEditorControls(skinOnly));
  HWND slider =
      CreateWindowExA(0, kSliderClass, "Level", WS_CHILD, 382, 15, 23, 84, window_->get(), nullptr, skinOnly, nullptr);
  HWND knob =
      CreateWindowExA(0, kKnobClass, "Value", WS_CHILD, 11, 13, 81, 81, window_->get(), nullptr, skinOnly, nullptr);
  ASSERT_TRUE(slider && knob);
  ASSERT_EQ(reinterpret_cast<HMODULE>(GetClassLongPtrA(slider, GCLP_HMODULE)), skinOnly);
  GdiObjectCounter counter;
  ShowWindow(slider, SW_SHOW);
  ShowWindow(knob, SW_SHOW);
  const int objects = counter.LiveObjects(), contexts = counter.LiveContexts();
  for (int round = 0; round < 50; ++round) {
    SendMessageA(slider, CTL_SETPOS, round, 0);
    SendMessageA(knob, CTL_SETPOS, round * 20, 0);
    ComposeKnobFace(knob);
    DrawSlider(slider);
  }
  EXPECT_EQ(counter.LiveObjects(), objects);
  EXPECT_EQ(counter.LiveContexts(), contexts);
  EXPECT_EQ(counter.DeletedWhileSelected(), 0);
  DestroyWindow(slider);
  DestroyWindow(knob);
  EXPECT_EQ(counter.LiveObjects(), objects - 2) << "the two captured backgrounds go with their windows";
  UnregisterEditorControls(skinOnly);
  FreeLibrary(skinOnly);
}

}  // namespace
}  // namespace sombrevox::test
