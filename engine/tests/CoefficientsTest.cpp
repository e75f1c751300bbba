#include <gtest/gtest.h>

#include <cmath>

#include "EngineFixture.h"
#include "LowpassCeiling.h"

using namespace sombrevox;
using sombrevox::test::Format;
using sombrevox::test::Rig;

TEST(Coefficients, WorkedExampleAt44100) {
  Rig rig(44100);
  ASSERT_EQ(rig.prepared, kOk);
  const EngineCoefficients& k = rig.engine.Coefficients();
  EXPECT_EQ(k.ringLength, 11135);
  EXPECT_EQ(k.predelaySamples, 1455);
  EXPECT_EQ(k.diff1Delay, 210);
  EXPECT_EQ(k.diff2Delay, 562);
  EXPECT_EQ(k.outL1Delay, 1191);
  EXPECT_EQ(k.outL2Delay, 1367);
  EXPECT_EQ(k.outR1Delay, 1147);
  EXPECT_EQ(k.outR2Delay, 1345);
  EXPECT_NEAR(k.sizeFactor, 1.357209, 5e-7);
  const int32_t lines[8] = {1924, 1578, 1384, 1220, 1123, 1040, 915, 821};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(k.lineDelay[i], lines[i]) << "line " << i;
  EXPECT_NEAR(k.lpPole, 0.0731489, 5e-8);
  EXPECT_NEAR(k.lpGain, 0.185370, 5e-7);
  EXPECT_NEAR(k.diff1Gain, 0.839203, 5e-7);
  EXPECT_EQ(k.diff2Gain, 0.625);
  EXPECT_EQ(k.out1Gain, 0.625);
  EXPECT_EQ(k.out2Gain, 0.625);
  EXPECT_NEAR(k.correctedDecayMs, 1310.507, 5e-4);
  const double g[8] = {0.794607, 0.828153, 0.847554, 0.864335, 0.874358, 0.883078, 0.896398, 0.906511};
  const double w[8] = {0.185875, 0.155517, 0.137960, 0.122773, 0.113702, 0.105811, 0.093757, 0.084605};
  double sum = 0;
  for (int i = 0; i < 8; ++i) {
    EXPECT_NEAR(k.loopGain[i], g[i], 5e-7) << "line " << i;
    EXPECT_NEAR(k.tapWeight[i], w[i], 5e-7) << "line " << i;
    sum += k.tapWeight[i];
  }
  EXPECT_NEAR(sum, 1.0, 1e-12);
  EXPECT_NEAR(k.dampB[0], 0.703665, 5e-7);
  EXPECT_NEAR(k.dampA[0], 0.114450, 5e-7);
  EXPECT_NEAR(k.dampB[7], 0.862059, 5e-7);
  EXPECT_NEAR(k.dampA[7], 0.049036, 5e-7);
  EXPECT_EQ(k.dryGain, 0.5);
  EXPECT_EQ(k.applied.mix, 0.5);
  EXPECT_EQ(k.outputGain, 1.0);
}

TEST(Coefficients, OtherRatesOfTheDefaultRecord) {
  struct Row {
    uint32_t rate;
    int32_t ring, longest, shortest;
  } rows[] = {{48000, 12120, 2094, 894}, {22050, 5567, 962, 411}, {8000, 2020, 349, 149}};
  for (const Row& r : rows) {
    Rig rig(r.rate);
    ASSERT_EQ(rig.prepared, kOk) << r.rate;
    EXPECT_EQ(rig.engine.Coefficients().ringLength, r.ring) << r.rate;
    EXPECT_EQ(rig.engine.Coefficients().lineDelay[0], r.longest) << r.rate;
    EXPECT_EQ(rig.engine.Coefficients().lineDelay[7], r.shortest) << r.rate;
  }
}

TEST(Coefficients, DiffusionGains) {
  ReverbParams p = kFactoryPresets[0].params;
  p.diffusion = 0.5;
  Rig rig(44100, p);
  EXPECT_NEAR(rig.engine.Coefficients().diff1Gain, 0.704, 5e-4);
  EXPECT_NEAR(rig.engine.Coefficients().diff2Gain, 0.392, 5e-4);
  EXPECT_EQ(rig.engine.Coefficients().out1Gain, rig.engine.Coefficients().diff2Gain);
}

TEST(Coefficients, LargestRoomAndPredelayFitTheRingsAtEveryRate) {
  ReverbParams p = kFactoryPresets[0].params;
  p.roomSize = 20000;
  p.predelayMs = 250;
  for (uint32_t rate : {500u, 8000u, 11025u, 22050u, 44100u, 48000u, 96000u, 192000u}) {
    Rig rig(rate, p);
    ASSERT_EQ(rig.prepared, kOk) << rate;
    const EngineCoefficients& k = rig.engine.Coefficients();
    EXPECT_NEAR(k.sizeFactor * 32.13723, 187.9, 0.05);
    EXPECT_LE(k.lineDelay[0], k.ringLength) << rate;
    EXPECT_LE(k.predelaySamples, k.ringLength) << rate;
  }
}

TEST(Coefficients, RatesThatCannotGiveValidRingsAreRefused) {
  for (uint32_t rate : {0u, 1u, 100u, 400u, 499u}) {
    SharedParams params;
    params.SetAll(kFactoryPresets[0].params);
    ReverbEngine engine(params);
    EXPECT_EQ(engine.PrepareStream(Format(kFormatPcm, 2, rate), Format(kFormatPcm, 2, rate)), kInvalidArgument) << rate;
    EXPECT_FALSE(engine.HasRings());
    EXPECT_TRUE(params.ParamsChanged()) << "a refused start takes no snapshot";
  }
}

TEST(LowpassCeilingTest, Rates) {
  EXPECT_EQ(LowpassCeiling(8000), 3000);
  EXPECT_EQ(LowpassCeiling(11025), 5000);
  EXPECT_EQ(LowpassCeiling(16000), 7000);
  EXPECT_EQ(LowpassCeiling(22050), 10000);
  EXPECT_EQ(LowpassCeiling(32000), 15000);
  EXPECT_EQ(LowpassCeiling(32001), 16000);
  EXPECT_EQ(LowpassCeiling(44100), 16000);
  EXPECT_EQ(LowpassCeiling(2000), 500);  // the formula gives 0: a quarter of the rate
  EXPECT_EQ(LowpassCeiling(1000), 250);
}

// The pole formula is unstable at or above half the rate: the cut-off that
// enters it is held to the ceiling, while the stored value stays as written.
TEST(Coefficients, LowpassHeldToTheCeilingBelow32kHz) {
  ReverbParams p = kFactoryPresets[1].params;  // 16000 Hz
  Rig at22(22050, p), at22limited(22050, [&] {
    ReverbParams q = p;
    q.lowpassHz = 10000;
    return q;
  }());
  EXPECT_EQ(at22.engine.Coefficients().lpPole, at22limited.engine.Coefficients().lpPole);
  EXPECT_EQ(at22.params.GetAll().lowpassHz, 16000);
  EXPECT_LT(std::fabs(at22.engine.Coefficients().lpPole), 1.0);

  Rig at44(44100, p);
  const double w = 6.283185307179586 * 16000 / 44100;
  EXPECT_EQ(at44.engine.Coefficients().lpPole, (1 - std::sin(w)) / std::cos(w));
}
