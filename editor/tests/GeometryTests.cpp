// Knob angles, the slider's band and cap, the level meter and the display's
// rectangles and introduction.
#include <gtest/gtest.h>

#include "ControlGeometry.h"
#include "IntroAnimation.h"

namespace sombrevox::test {
namespace {

constexpr Point kKnobCentre = {40, 40};

int KnobAt(int x, int y) { return KnobPointToPosition(0, 1000, kKnobCentre, {x, y}); }

TEST(KnobGeometryTest, PointerAngleGivesThePosition) {
  // Degrees are radians x 57.3, a little more than 180/pi: straight up is 90.0066 degrees.
  EXPECT_EQ(KnobAt(40, 0), 499);
  EXPECT_EQ(KnobAt(0, 80), 0);     // down-left, 135 degrees: the minimum
  EXPECT_EQ(KnobAt(0, 40), 166);   // left: 45 of 270 degrees
  EXPECT_EQ(KnobAt(80, 40), 833);  // right
  EXPECT_EQ(KnobAt(79, 79), 1000);
  EXPECT_EQ(KnobAt(40, 40), 1000);  // the centre counts as (1, 1)
  // The dead zone below the centre: right of straight down the maximum, left
  // of it (straight down included, at 90.0066) the minimum.
  EXPECT_EQ(KnobAt(45, 80), 1000);
  EXPECT_EQ(KnobAt(40, 80), 0);
  EXPECT_EQ(KnobAt(35, 80), 0);
  EXPECT_EQ(KnobAt(-200, -200), 333);  // beyond the window while captured
  EXPECT_EQ(KnobPointToPosition(200, 300, kKnobCentre, {40, 0}), 249);
}

TEST(KnobGeometryTest, PointerEndsSweepFromDownLeftToDownRight) {
  auto end = [](int position, int radius) { return KnobPointerEnd(0, 1000, position, kKnobCentre, radius); };
  EXPECT_EQ(end(0, 19).x, 27);
  EXPECT_EQ(end(0, 19).y, 53);
  EXPECT_EQ(end(500, 19).x, 40);
  EXPECT_EQ(end(500, 19).y, 21);
  EXPECT_EQ(end(1000, 19).x, 53);
  EXPECT_EQ(end(1000, 19).y, 53);
  EXPECT_EQ(end(500, 5).y, 35);
  // Beyond the maximum the pointer turns on; an empty range points at the minimum.
  EXPECT_GT(end(1100, 19).y, end(1000, 19).y);
  EXPECT_EQ(KnobPointerEnd(7, 7, 7, kKnobCentre, 19).x, end(0, 19).x);
}

TEST(SliderGeometryTest, BandRowsAndCap) {
  EXPECT_EQ(SliderPointToPosition(300, 12), 0);
  EXPECT_EQ(SliderPointToPosition(300, 22), 50);
  EXPECT_EQ(SliderPointToPosition(300, 72), 300);
  EXPECT_TRUE(InSliderBand({0, 12}));
  EXPECT_TRUE(InSliderBand({23, 72}));
  EXPECT_FALSE(InSliderBand({24, 40}));
  EXPECT_FALSE(InSliderBand({-1, 40}));
  EXPECT_FALSE(InSliderBand({10, 11}));
  EXPECT_FALSE(InSliderBand({10, 73}));
  // The 50-row bitmap's cap (rows 13..36) spans rows 0..23 at the top, 60..83 at the bottom.
  EXPECT_EQ(SliderCapTop(0, 300, 50) + 13, 0);
  EXPECT_EQ(SliderCapTop(300, 300, 50) + 13, 60);
  EXPECT_EQ(SliderCapTop(50, 300, 50) + 13 + 12, 22);
  EXPECT_EQ(SliderCapTop(50, 0, 50), -13);
}

TEST(LevelMeterGeometryTest, SegmentsAndLitCounts) {
  const MeterLayout full = LevelMeterLayout(300, 24, 9);
  EXPECT_EQ(full.segmentLength, 2);
  EXPECT_EQ(full.gap, 1);
  EXPECT_GE(full.lit, 9);                          // +3 dB
  EXPECT_EQ(LevelMeterLayout(250, 24, 9).lit, 8);  // 0 dB
  EXPECT_EQ(LevelMeterLayout(200, 24, 9).lit, 7);
  EXPECT_EQ(LevelMeterLayout(16, 24, 9).lit, 0);
  EXPECT_EQ(LevelMeterLayout(17, 24, 9).lit, 1);
  EXPECT_EQ(LevelMeterLayout(0, 24, 9).lit, 0);  // -15 dB
  EXPECT_EQ(LevelMeterLayout(300, 24, 1).gap, 0);
  EXPECT_EQ(LevelMeterLayout(300, 24, 0).lit, 0);

  const Box bottom = MeterSegment(full, 177, 4, 4, 24, 1);
  EXPECT_EQ(bottom.left, 177);
  EXPECT_EQ(bottom.right, 181);
  EXPECT_EQ(bottom.top, 26);
  EXPECT_EQ(bottom.bottom, 28);
  EXPECT_EQ(MeterSegment(full, 177, 4, 4, 24, 9).top, 2);
}

TEST(DisplayGeometryTest, ColumnsAndStripOnThePanel) {
  const DisplayLayout layout = ParameterLayout({0, 0, 184, 38});
  const Box expected[] = {{0, -1, 41, 25}, {43, 0, 84, 25}, {86, 0, 127, 25}, {129, 0, 170, 25}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(layout.columns[i].left, expected[i].left) << i;
    EXPECT_EQ(layout.columns[i].top, expected[i].top) << i;
    EXPECT_EQ(layout.columns[i].right, expected[i].right) << i;
    EXPECT_EQ(layout.columns[i].bottom, expected[i].bottom) << i;
  }
  EXPECT_EQ(layout.strip.top, 27);
  EXPECT_EQ(layout.strip.right, 181);
  EXPECT_EQ(layout.strip.bottom, 38);
}

TEST(IntroAnimationTest, RisesHoldsAndFadesThenStartsAgain) {
  IntroState state = StartIntro(38);
  for (int tick = 1; tick <= 38; ++tick) {
    const IntroFrame frame = AdvanceIntro(state, 0, 38);
    EXPECT_EQ(frame.textTop, 38 - tick);
    EXPECT_EQ(frame.nextIntervalMs, tick == 38 ? 200 : 0);
    ASSERT_FALSE(frame.finished);
  }
  IntroFrame frame = AdvanceIntro(state, 0, 38);
  EXPECT_EQ(frame.nextIntervalMs, 10);
  EXPECT_EQ(frame.colour.green, kDisplayInk.green);
  int fadeFrames = 0;
  do {
    frame = AdvanceIntro(state, 0, 38);
    EXPECT_EQ(frame.textTop, 0);
    ++fadeFrames;
  } while (!frame.finished && fadeFrames < 100);
  EXPECT_EQ(fadeFrames, 50);
  EXPECT_EQ(frame.colour.red, 149);
  EXPECT_EQ(frame.colour.green, 204);
  EXPECT_EQ(frame.colour.blue, 34);
  EXPECT_EQ(state.phase, kIntroScrolling);
  EXPECT_EQ(state.scrollTop, 38);
  EXPECT_EQ(state.fadeStep, 1);
}

}  // namespace
}  // namespace sombrevox::test
