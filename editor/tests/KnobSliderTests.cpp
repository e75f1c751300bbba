// The knob and the level slider driven with real mouse messages, writing
// through a real filter's settings.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <utility>

#include "ControlGeometry.h"
#include "ControlMessages.h"
#include "EditorWindowFixture.h"
#include "GuiTestSupport.h"
#include "ReverbParams.h"
#include "TestSupport.h"
#include "ValueEntryPopup.h"

namespace sombrevox::test {
namespace {

using KnobTest = EditorWindowTest;
using SliderTest = EditorWindowTest;

TEST(ControlClassesTest, RegisteredOnceWithTheirAttributes) {
  ASSERT_TRUE(RegisterEditorControls(ControlsModule()));
  ASSERT_TRUE(RegisterEditorControls(ControlsModule()));  // already there: nothing to do
  const std::pair<const char*, UINT> classes[] = {
      {kKnobClass, CS_DBLCLKS}, {kSliderClass, CS_DBLCLKS}, {kDisplayClass, 0}};
  for (auto [name, style] : classes) {
    WNDCLASSA found{};
    ASSERT_TRUE(GetClassInfoA(ControlsModule(), name, &found)) << name;
    EXPECT_EQ(found.style, style) << name;
    EXPECT_EQ(found.cbWndExtra, static_cast<int>(sizeof(LONG_PTR))) << name;
    EXPECT_EQ(found.hCursor, LoadCursorA(nullptr, IDC_ARROW)) << name;
    EXPECT_EQ(found.hbrBackground, nullptr) << name;
  }
}

TEST_F(KnobTest, FollowsThePointersAngleWhileDragged) {
  StartControls();
  const double mix = Param(kMix);
  PressAt(knob_, {60, 20});
  EXPECT_EQ(Param(kMix), mix) << "a press without movement changes nothing";
  MoveTo(knob_, {40, 0});  // straight up
  EXPECT_EQ(Position(knob_), 499);
  EXPECT_DOUBLE_EQ(Param(kMix), 0.499);
  MoveTo(knob_, {-60, 140});  // down-left, outside the window: the capture still follows
  EXPECT_EQ(Position(knob_), 0);
  EXPECT_EQ(Param(kMix), 0.0);
  CaptureClient(window_->get()).SavePng(ScreenshotPath("knob-minimum"));
  MoveTo(knob_, {45, 80});  // just right of straight down: the maximum
  EXPECT_EQ(Param(kMix), 1.0);
  ReleaseAt(knob_, {45, 80});
  EXPECT_NE(GetCapture(), knob_);
  MoveTo(knob_, {40, 0});
  EXPECT_EQ(Param(kMix), 1.0) << "moves after the release change nothing";
}

TEST_F(KnobTest, DecayMovesRoomSizeDiffusionAndDamping) {
  StartControls();
  SendMessageA(knob_, KNOB_SETPARAM, kDecay, 0);
  PressAt(knob_, {40, 40});
  MoveTo(knob_, {40, 0});
  EXPECT_NEAR(Param(kDecay), 300 * std::pow(26.666666666666668, 0.499), 1e-9);
  EXPECT_NEAR(Param(kRoomSize), 30 * std::pow(666.6666666666666, 0.499), 1e-9);
  EXPECT_DOUBLE_EQ(Param(kDiffusion), 0.7495);
  EXPECT_DOUBLE_EQ(Param(kDamping), 0.5493);
  ReleaseAt(knob_, {40, 0});
  CaptureClient(window_->get()).SavePng(ScreenshotPath("knob-decay-turned"));
}

TEST_F(KnobTest, LowpassReachesTheTopOfItsRangeWhileNoOutputFormatIsKnown) {
  StartControls();
  SendMessageA(knob_, KNOB_SETPARAM, kLowpass, 0);
  PressAt(knob_, {40, 40});
  MoveTo(knob_, {45, 80});
  EXPECT_NEAR(Param(kLowpass), 16000, 1e-9);
  MoveTo(knob_, {35, 80});
  EXPECT_DOUBLE_EQ(Param(kLowpass), 500);
  ReleaseAt(knob_, {35, 80});
}

TEST_F(KnobTest, LosingTheCaptureEndsTheDrag) {
  StartControls();
  PressAt(knob_, {40, 40});
  MoveTo(knob_, {40, 0});
  ASSERT_EQ(GetCapture(), knob_);
  SetCapture(window_->get());  // a menu or a window of the host takes the mouse
  ReleaseCapture();
  MoveTo(knob_, {45, 80});
  EXPECT_DOUBLE_EQ(Param(kMix), 0.499) << "the knob went on dragging without the capture";
  EXPECT_EQ(Position(knob_), 499);
}

TEST_F(KnobTest, RangeAndPositionMessages) {
  StartControls();
  SendMessageA(knob_, CTL_SETPOS, 0x10000 | 1200, 0);  // the low word, stored unclamped
  EXPECT_EQ(Position(knob_), 1200);
  SendMessageA(knob_, CTL_SETMAX, 800, 0);
  EXPECT_EQ(Position(knob_), 800);
  SendMessageA(knob_, CTL_SETMIN, 900, 0);
  EXPECT_EQ(Position(knob_), 900);
  EXPECT_EQ(Param(kMix), 0.5) << "range and position messages write nothing";
}

TEST_F(SliderTest, WritesTheLevelInsideItsBandOnly) {
  StartControls();
  PressAt(slider_, {11, 40});
  EXPECT_EQ(Param(kLevel), 0.0);
  MoveTo(slider_, {11, 12});
  EXPECT_EQ(Position(slider_), 0);
  EXPECT_DOUBLE_EQ(Param(kLevel), 3.0);
  MoveTo(slider_, {11, 22});
  EXPECT_EQ(Position(slider_), 50);
  EXPECT_EQ(Param(kLevel), 0.0);
  MoveTo(slider_, {11, 72});
  EXPECT_EQ(Position(slider_), 300);
  EXPECT_NEAR(Param(kLevel), -15.0, 1e-12);
  CaptureClient(window_->get()).SavePng(ScreenshotPath("slider-bottom"));
  MoveTo(slider_, {11, 50});
  const double inside = Param(kLevel);
  for (POINT outside : {POINT{11, 5}, POINT{11, 90}, POINT{30, 40}, POINT{-3, 40}}) {
    MoveTo(slider_, outside);
    EXPECT_EQ(Position(slider_), SliderPointToPosition(kSliderPositions, 50));
    EXPECT_EQ(Param(kLevel), inside);
  }
  ReleaseAt(slider_, {11, 50});
}

TEST_F(SliderTest, SetPositionRedrawsWithoutWriting) {
  StartControls();
  SendMessageA(slider_, CTL_SETPOS, 300, 0);
  EXPECT_EQ(Position(slider_), 300);
  EXPECT_EQ(Param(kLevel), 0.0);
}

TEST_F(EditorWindowTest, WithoutSettingsTheControlsWriteNothing) {
  StartControls();
  SendMessageA(knob_, CTL_SETSETTINGS, 0, 0);
  SendMessageA(slider_, CTL_SETSETTINGS, 0, 0);
  ReverbParams before{};
  settings_->GetParams(&before);
  PressAt(knob_, {40, 40});
  MoveTo(knob_, {40, 0});
  ReleaseAt(knob_, {40, 0});
  EXPECT_EQ(Position(knob_), 499) << "the knob still turns";
  PressAt(slider_, {11, 40});
  MoveTo(slider_, {11, 12});
  ReleaseAt(slider_, {11, 12});
  PostMouse(knob_, WM_LBUTTONDBLCLK, {40, 40});
  PostMouse(slider_, WM_LBUTTONDBLCLK, {11, 40});
  EXPECT_FALSE(IsValueEntryOpen()) << "no popup without settings to write";
  ReverbParams after{};
  settings_->GetParams(&after);
  EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
}

}  // namespace
}  // namespace sombrevox::test
