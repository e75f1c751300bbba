// Positions to values and back, the edit cycle, the display's texts and the
// value-entry popup's reading of typed text.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "DisplayTexts.h"
#include "EnteredValue.h"
#include "ParameterMapping.h"
#include "RecordedParams.h"

namespace sombrevox::test {
namespace {

TEST(ApplyPositionTest, DecayDrivesRoomSizeDiffusionAndDamping) {
  RecordedParams params;
  ApplyPosition(params, kDecay, 500);
  EXPECT_NEAR(params.Get(kDecay), 1549.19, 0.01);
  EXPECT_NEAR(params.Get(kRoomSize), 774.60, 0.01);
  EXPECT_DOUBLE_EQ(params.Get(kDiffusion), 0.75);
  EXPECT_DOUBLE_EQ(params.Get(kDamping), 0.55);
  EXPECT_NEAR(PositionFromValue(params, kDecay), 500, 1);  // truncated: within one step

  ApplyPosition(params, kDecay, 0);
  EXPECT_DOUBLE_EQ(params.Get(kDecay), 300);
  EXPECT_DOUBLE_EQ(params.Get(kRoomSize), 30);
  ApplyPosition(params, kDecay, 1000);
  EXPECT_NEAR(params.Get(kDecay), 8000, 1e-9);
  EXPECT_NEAR(params.Get(kRoomSize), 20000, 1e-9);
  EXPECT_DOUBLE_EQ(params.Get(kDiffusion), 1.0);
  EXPECT_DOUBLE_EQ(params.Get(kDamping), 0.9);
}

TEST(ApplyPositionTest, SliderAroundZeroDecibels) {
  RecordedParams params;
  ApplyPosition(params, kLevel, 50);
  EXPECT_EQ(params.Get(kLevel), 0.0);
  ApplyPosition(params, kLevel, 49);
  EXPECT_NEAR(params.Get(kLevel), 0.06, 1e-12);
  ApplyPosition(params, kLevel, 51);
  EXPECT_NEAR(params.Get(kLevel), -0.06, 1e-12);
  ApplyPosition(params, kLevel, 0);
  EXPECT_DOUBLE_EQ(params.Get(kLevel), 3);
  EXPECT_EQ(PositionFromValue(params, kLevel), 0);
  ApplyPosition(params, kLevel, 300);
  EXPECT_NEAR(params.Get(kLevel), -15, 1e-12);
  EXPECT_NEAR(PositionFromValue(params, kLevel), 300, 1);
}

TEST(ApplyPositionTest, PredelayAndMixAndIndicesWithoutControl) {
  RecordedParams params;
  ApplyPosition(params, kPredelay, 1000);
  EXPECT_DOUBLE_EQ(params.Get(kPredelay), 250);
  EXPECT_NEAR(PositionFromValue(params, kPredelay), 1000, 1);
  ApplyPosition(params, kMix, 250);
  EXPECT_DOUBLE_EQ(params.Get(kMix), 0.25);
  EXPECT_EQ(PositionFromValue(params, kMix), 250);

  const int writes = params.Writes();
  for (int index : {int{kRoomSize}, int{kDiffusion}, int{kDamping}, 8, -1}) ApplyPosition(params, index, 500);
  EXPECT_EQ(params.Writes(), writes);
  EXPECT_EQ(PositionFromValue(params, kRoomSize), 0);
}

TEST(LowpassMappingTest, CeilingFollowsTheOutputRate) {
  EXPECT_EQ(LowpassMappingCeiling(0), 16000);  // not connected: the range's top
  EXPECT_EQ(LowpassMappingCeiling(48000), 16000);
  EXPECT_EQ(LowpassMappingCeiling(44100), 16000);
  EXPECT_EQ(LowpassMappingCeiling(22050), 10000);
  EXPECT_EQ(LowpassMappingCeiling(8000), 3000);

  for (uint32_t rate : {0u, 22050u, 44100u, 48000u}) {
    RecordedParams params(rate);
    ApplyPosition(params, kLowpass, 0);
    EXPECT_DOUBLE_EQ(params.Get(kLowpass), 500) << rate;
    ApplyPosition(params, kLowpass, 1000);
    EXPECT_NEAR(params.Get(kLowpass), LowpassMappingCeiling(rate), 1e-9) << rate;
    EXPECT_NEAR(PositionFromValue(params, kLowpass), 1000, 1) << rate;
  }
}

TEST(LowpassMappingTest, AboveTheCeilingReadsBeyondTheEnd) {
  RecordedParams params(22050);
  params.Set(kLowpass, 16000);
  EXPECT_GT(PositionFromValue(params, kLowpass), 1000);
}

TEST(LowpassMappingTest, NoSpanAboveTheFloorPinsTheLowpass) {
  // 1000 Hz output: the ceiling is 250 Hz. 2500 Hz: 625 Hz, a short span.
  RecordedParams pinned(1000);
  for (double position : {0.0, 500.0, 1000.0}) {
    pinned.Set(kLowpass, 12000);
    ApplyPosition(pinned, kLowpass, position);
    EXPECT_EQ(pinned.Get(kLowpass), 500);
    EXPECT_EQ(PositionFromValue(pinned, kLowpass), 0);
  }
  pinned.Set(kLowpass, 12000);
  EXPECT_EQ(PositionFromValue(pinned, kLowpass), 0);

  RecordedParams shortSpan(2500);
  ApplyPosition(shortSpan, kLowpass, 1000);
  EXPECT_NEAR(shortSpan.Get(kLowpass), 625, 1e-9);
  EXPECT_EQ(ClampEnteredValue(20000, kLowpass, 1000), 500);
  EXPECT_EQ(ClampEnteredValue(20000, kLowpass, 2500), 625);
}

TEST(EditCycleTest, SelectButtonsStepThroughFourParameters) {
  int index = kMix;
  const int forward[] = {kPredelay, kDecay, kLowpass, kMix};
  for (int expected : forward) EXPECT_EQ(index = NextEditParam(index, 1), expected);
  for (int expected : {kLowpass, kDecay, kPredelay, kMix}) EXPECT_EQ(index = NextEditParam(index, 0), expected);
  EXPECT_EQ(NextEditParam(kRoomSize, 1), kLowpass);
  EXPECT_EQ(NextEditParam(kDamping, 7), kDecay);
}

TEST(DisplayTextsTest, SelectionStandsFirstAndTheCycleFollows) {
  RecordedParams params;  // the defaults: 33, 250, 10000, 1.0, 1200, 0.5, 0.5, 0
  const DisplayTexts texts = ComposeDisplayTexts(params, kLowpass);
  const char* labels[] = {"LP Cut", "Mix", "Predly", "Decay"};
  const char* values[] = {"10000", "0.50", "32", "1200"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_STREQ(texts.columns[i].label, labels[i]);
    EXPECT_STREQ(texts.columns[i].value.c_str(), values[i]);
  }
  EXPECT_STREQ(texts.level.c_str(), "0.00");

  params.Set(kPredelay, 1);
  EXPECT_STREQ(ComposeDisplayTexts(params, kPredelay).columns[0].value.c_str(), "0");
  params.Set(kPredelay, 250);
  EXPECT_STREQ(ComposeDisplayTexts(params, kPredelay).columns[0].value.c_str(), "250");
  params.Set(kDamping, 0.9);
  EXPECT_EQ(ParamLabel(kDamping).kind, NumberKind::kTwoDecimals);
  EXPECT_STREQ(FormatNumber(ParamLabel(kDamping).kind, DisplayValue(params, kDamping)).c_str(), "0.94");
  EXPECT_STREQ(ParamLabel(kLevel).text, "");
  EXPECT_STREQ(ComposeDisplayTexts(params, 9).columns[0].value.c_str(), "");
}

TEST(EnteredValueTest, ClampsToWhatEachParameterShows) {
  EXPECT_EQ(ClampEnteredValue(300, kPredelay, 0), 250);
  EXPECT_EQ(ClampEnteredValue(-1, kPredelay, 0), 0);
  EXPECT_EQ(ClampEnteredValue(20000, kLowpass, 22050), 10000);
  EXPECT_EQ(ClampEnteredValue(20000, kLowpass, 0), 16000);
  EXPECT_EQ(ClampEnteredValue(100, kDecay, 0), 300);
  EXPECT_EQ(ClampEnteredValue(2, kMix, 0), 1);
  EXPECT_EQ(ClampEnteredValue(8, kLevel, 0), 3);
  EXPECT_EQ(ClampEnteredValue(std::nan(""), kLevel, 0), -15);
  EXPECT_EQ(ClampEnteredValue(12345, kRoomSize, 0), 12345);
}

TEST(EnteredValueTest, ReadsTheLeadingNumberWhateverTheLocale) {
  EXPECT_EQ(ParseEnteredNumber("0,5"), 0.5);
  EXPECT_EQ(ParseEnteredNumber("  -3.25 dB"), -3.25);
  EXPECT_EQ(ParseEnteredNumber("+12"), 12);
  EXPECT_EQ(ParseEnteredNumber("2e3"), 2000);
  EXPECT_EQ(ParseEnteredNumber("abc"), 0);
  EXPECT_EQ(ParseEnteredNumber(""), 0);
  EXPECT_EQ(ParseEnteredNumber("-"), 0);
  EXPECT_EQ(ParseEnteredNumber("1e999"), HUGE_VAL);
  EXPECT_EQ(ParseEnteredNumber("1e-999"), 0);
}

TEST(EnteredValueTest, TypedValuesLandOnTheirParameters) {
  RecordedParams params(22050);
  EXPECT_STREQ(EntryText(params, kMix).c_str(), "0.50");
  EXPECT_STREQ(EntryText(params, kPredelay).c_str(), "32");
  EXPECT_STREQ(EntryText(params, kRoomSize).c_str(), "");

  struct Typed {
    int index;
    const char* text;
    double value;
    int32_t position;
  };
  const Typed cases[] = {
      {kMix, "0,25", 0.25, 250}, {kPredelay, "300", 250, 1000}, {kLowpass, "20000", 10000, 1000}, {kLevel, "8", 3, 0}};
  for (const Typed& typed : cases) {
    const EnteredResult result = ApplyEnteredText(params, typed.index, typed.text);
    EXPECT_EQ(params.Get(typed.index), typed.value) << typed.text;
    EXPECT_EQ(result.position, typed.position) << typed.text;
  }
  const EnteredResult result = ApplyEnteredText(params, kDecay, "1549.19");
  EXPECT_NEAR(params.Get(kDecay), 1549.19, 1e-9);
  EXPECT_NEAR(params.Get(kRoomSize), 774.60, 0.01);
  EXPECT_EQ(result.position, 499);

  // Text without digits reads as 0, then clamps.
  const std::pair<int, double> empty[] = {{kPredelay, 1}, {kLowpass, 500}, {kDecay, 300}, {kMix, 0}, {kLevel, 0}};
  for (auto [index, value] : empty) {
    EXPECT_TRUE(ApplyEnteredText(params, index, "x").applied);
    EXPECT_EQ(params.Get(index), value) << index;
  }
  EXPECT_EQ(params.Get(kRoomSize), 30);
  EXPECT_FALSE(ApplyEnteredText(params, kRoomSize, "5").applied);
}

}  // namespace
}  // namespace sombrevox::test
