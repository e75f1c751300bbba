#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "EngineFixture.h"

using namespace sombrevox;
using sombrevox::test::RenderPcm16;
using sombrevox::test::Rig;

namespace {

std::vector<int16_t> Noise(size_t samples, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int> d(-20000, 20000);
  std::vector<int16_t> v(samples);
  for (int16_t& s : v) s = static_cast<int16_t>(d(rng));
  return v;
}

ReverbParams WithMixAndLevel(double mix, double level) {
  ReverbParams p = kFactoryPresets[0].params;
  p.mix = mix;
  p.levelDb = level;
  return p;
}

}  // namespace

TEST(Processing, ConsumesTheSmallerOfInputAndRoom) {
  Rig rig(44100);
  std::vector<int16_t> in = Noise(200, 1), out(200);
  uint32_t n = 100, room = 60;
  EXPECT_EQ(rig.engine.ProcessPcm16(kModeNormal, in.data(), &n, out.data(), &room), kOk);
  EXPECT_EQ(n, 60u);
  EXPECT_EQ(room, 60u);
  EXPECT_EQ(rig.engine.WritePos(), 60);
}

TEST(Processing, DryOnlyPcm16IsTheInputExactly) {
  Rig rig(44100, WithMixAndLevel(0.0, 0.0));
  // Fill the network first so the wet side is far from silent.
  std::vector<int16_t> in = Noise(2 * 5000, 2), out(2 * 5000);
  uint32_t n = 5000, room = 5000;
  rig.engine.ProcessPcm16(kModeDiscontinuity, in.data(), &n, out.data(), &room);
  EXPECT_EQ(out, in);
  const std::vector<int16_t> edges = {32767, -32768, 1, -1, 0, 0};
  std::vector<int16_t> o(edges.size());
  n = room = 3;
  rig.engine.ProcessPcm16(kModeNormal, edges.data(), &n, o.data(), &room);
  EXPECT_EQ(o, edges);
}

TEST(Processing, SixteenBitOutputIsTruncatedThenLimited) {
  Rig loud(44100, WithMixAndLevel(0.0, 3.0));
  const std::vector<int16_t> full = {32767, -32768, 20000, -20000};
  std::vector<int16_t> o(4);
  uint32_t n = 2, room = 2;
  loud.engine.ProcessPcm16(kModeNormal, full.data(), &n, o.data(), &room);
  EXPECT_EQ(o[0], 32767);
  EXPECT_EQ(o[1], -32768);
  EXPECT_EQ(o[2], 28250);   // 20000 * 10^0.15 = 28250.75...: truncated,
  EXPECT_EQ(o[3], -28250);  // toward zero on both sides

  // A dry gain of 0.9 turns 1 into 0.9 and -1 into -0.9: both become 0.
  Rig rig(44100, WithMixAndLevel(0.1, 0.0));
  const std::vector<int16_t> ones = {1, -1};
  uint32_t one = 1, r1 = 1;
  rig.engine.ProcessPcm16(kModeNormal, ones.data(), &one, o.data(), &r1);
  EXPECT_EQ(o[0], 0);
  EXPECT_EQ(o[1], 0);
}

TEST(Processing, WetOnlyHasNoDryPath) {
  Rig rig(44100, WithMixAndLevel(1.0, 0.0));
  std::vector<int16_t> impulse(2 * 100, 0), out(2 * 100);
  impulse[0] = impulse[1] = 30000;
  uint32_t n = 100, room = 100;
  rig.engine.ProcessPcm16(kModeNormal, impulse.data(), &n, out.data(), &room);
  for (int16_t s : out) EXPECT_EQ(s, 0);  // the shortest wet path is far longer than 100 frames
}

TEST(Processing, TailFramingAt44100) {
  Rig rig(44100);
  std::vector<int16_t> in = Noise(2 * 44100, 3), out(2 * 44100);
  uint32_t n = 44100, room = 44100;
  rig.engine.ProcessPcm16(kModeNormal, in.data(), &n, out.data(), &room);
  EXPECT_EQ(rig.engine.TailFrames(), 59667u);

  std::vector<int16_t> tail(2 * 4410);
  std::vector<uint32_t> produced;
  Status s = kOk;
  while (s != kTailFinished) {
    uint32_t r = 4410;
    s = rig.engine.ProcessPcm16(kModeTail, nullptr, nullptr, tail.data(), &r);
    produced.push_back(r);
    ASSERT_LT(produced.size(), 20u);
  }
  ASSERT_EQ(produced.size(), 14u);
  for (size_t i = 0; i < 13; ++i) EXPECT_EQ(produced[i], 4410u);
  EXPECT_EQ(produced[13], 2337u);

  uint32_t r = 4410;
  EXPECT_EQ(rig.engine.ProcessPcm16(kModeTail, nullptr, nullptr, tail.data(), &r), kTailFinished);
  EXPECT_EQ(r, 0u) << "a finished tail stays finished";

  // Every ordinary buffer re-arms it.
  n = room = 10;
  rig.engine.ProcessPcm16(kModeNormal, in.data(), &n, out.data(), &room);
  EXPECT_EQ(rig.engine.TailFrames(), 59667u);
}

TEST(Processing, TailBeforeAnyInputEndsAtOnce) {
  Rig rig(44100);
  std::vector<float> out(2 * 64);
  uint32_t room = 64;
  EXPECT_EQ(rig.engine.ProcessFloat32(kModeTail, nullptr, nullptr, out.data(), &room), kTailFinished);
  EXPECT_EQ(room, 0u);
}

TEST(Processing, OutputDoesNotDependOnBufferSizes) {
  const std::vector<int16_t> in = Noise(2 * 20000, 4);
  Rig one(44100), many(44100);
  const std::vector<int16_t> whole = RenderPcm16(one.engine, in, 2, {20000}, 4410);
  const std::vector<int16_t> pieces = RenderPcm16(many.engine, in, 2, {1, 7, 333, 4096, 2, 1999}, 777);
  ASSERT_EQ(whole.size(), pieces.size());
  EXPECT_EQ(whole, pieces);
  EXPECT_EQ(whole.size(), 2u * (20000 + 59667));
}

TEST(Processing, MonoInputGivesStereoWithDifferentWetSides) {
  ReverbParams p = WithMixAndLevel(1.0, 0.0);
  Rig rig(48000, p, kFormatPcm, 1);
  std::vector<int16_t> impulse(48000, 0), out(2 * 48000);
  impulse[0] = 32000;
  uint32_t n = 48000, room = 48000;
  rig.engine.ProcessPcm16(kModeNormal, impulse.data(), &n, out.data(), &room);
  EXPECT_EQ(n, 48000u);
  EXPECT_EQ(room, 48000u);
  int differing = 0, nonzero = 0;
  for (uint32_t f = 0; f < 48000; ++f) {
    differing += out[2 * f] != out[2 * f + 1];
    nonzero += out[2 * f] != 0;
  }
  EXPECT_GT(nonzero, 10000);
  EXPECT_GT(differing, 10000);
}

TEST(Processing, MonoEqualsStereoWithBothChannelsEqual) {
  const std::vector<int16_t> mono = Noise(3000, 5);
  std::vector<int16_t> stereo(6000);
  for (size_t i = 0; i < mono.size(); ++i) stereo[2 * i] = stereo[2 * i + 1] = mono[i];
  Rig m(48000, kFactoryPresets[0].params, kFormatPcm, 1), s(48000);
  EXPECT_EQ(RenderPcm16(m.engine, mono, 1, {512}, 512), RenderPcm16(s.engine, stereo, 2, {512}, 512));
}

TEST(Processing, NonFiniteFloatInputEntersAsSilence) {
  Rig poisoned(44100, kFactoryPresets[0].params, kFormatIeeeFloat),
      clean(44100, kFactoryPresets[0].params, kFormatIeeeFloat);
  std::vector<float> a(2 * 1000, 0.25f), b(a);
  a[10] = std::numeric_limits<float>::quiet_NaN();
  a[11] = std::numeric_limits<float>::infinity();
  b[10] = 0.0f;
  b[11] = 0.0f;
  std::vector<float> oa(2 * 1000), ob(2 * 1000);
  for (int buffer = 0; buffer < 100; ++buffer) {
    uint32_t n = 1000, room = 1000, n2 = 1000, room2 = 1000;
    poisoned.engine.ProcessFloat32(kModeNormal, a.data(), &n, oa.data(), &room);
    clean.engine.ProcessFloat32(kModeNormal, b.data(), &n2, ob.data(), &room2);
    ASSERT_EQ(oa, ob) << "buffer " << buffer;
  }
  for (float s : oa) EXPECT_TRUE(std::isfinite(s));
}

TEST(Processing, DecayChangeKeepsTheReverberationRinging) {
  Rig rig(44100, WithMixAndLevel(1.0, 0.0), kFormatIeeeFloat);
  std::vector<float> in(2 * 4410, 0.0f), out(2 * 4410);
  in[0] = in[1] = 1.0f;
  uint32_t n = 4410, room = 4410;
  rig.engine.ProcessFloat32(kModeNormal, in.data(), &n, out.data(), &room);
  in[0] = in[1] = 0.0f;
  rig.params.Set(kDecay, 8000);
  n = room = 4410;
  rig.engine.ProcessFloat32(kModeNormal, in.data(), &n, out.data(), &room);
  EXPECT_EQ(rig.engine.Coefficients().applied.decayMs, 8000);
  double energy = 0;
  for (float s : out) energy += double(s) * s;
  EXPECT_GT(energy, 1e-4) << "the change must not clear the network";
}

TEST(Processing, EveryFactoryPresetStaysFiniteAtEveryRate) {
  for (uint32_t rate : {8000u, 11025u, 16000u, 22050u, 44100u, 48000u}) {
    for (int preset = 0; preset < kFactoryPresetCount; ++preset) {
      Rig rig(rate, kFactoryPresets[preset].params, kFormatIeeeFloat);
      ASSERT_EQ(rig.prepared, kOk);
      std::mt19937 rng(preset);
      std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
      std::vector<float> in(2 * 4096), out(2 * 4096);
      float peak = 0;
      bool finite = true;
      // Two seconds of noise, then two of silence.
      for (uint32_t done = 0; done < 4 * rate; done += 4096) {
        for (float& s : in) s = done < 2 * rate ? noise(rng) : 0.0f;
        uint32_t n = 4096, room = 4096;
        rig.engine.ProcessFloat32(kModeNormal, in.data(), &n, out.data(), &room);
        for (float s : out) {
          finite = finite && std::isfinite(s);
          peak = std::max(peak, std::fabs(s));
        }
      }
      EXPECT_TRUE(finite) << "preset " << preset << " at " << rate;
      EXPECT_LT(peak, 100.0f) << "preset " << preset << " at " << rate;
    }
  }
}

TEST(Processing, RestartBeginsSilent) {
  Rig rig(44100, WithMixAndLevel(1.0, 0.0));
  std::vector<int16_t> loud = Noise(2 * 4410, 6), out(2 * 4410);
  uint32_t n = 4410, room = 4410;
  rig.engine.ProcessPcm16(kModeNormal, loud.data(), &n, out.data(), &room);
  rig.engine.FreeRings();
  EXPECT_FALSE(rig.engine.HasRings());
  rig.engine.FreeRings();  // twice is harmless
  ASSERT_EQ(rig.engine.PrepareStream(test::Format(kFormatPcm, 2, 44100), test::Format(kFormatPcm, 2, 44100)), kOk);
  EXPECT_EQ(rig.engine.TailFrames(), 0u);
  std::vector<int16_t> silence(2 * 100, 0), o(2 * 100);
  n = room = 100;
  rig.engine.ProcessPcm16(kModeNormal, silence.data(), &n, o.data(), &room);
  for (int16_t s : o) EXPECT_EQ(s, 0);
}

namespace {

std::vector<float> FloatNoise(size_t samples, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<float> d(-0.5f, 0.5f);
  std::vector<float> v(samples);
  for (float& s : v) s = d(rng);
  return v;
}

// Runs `frames` float frames through the engine; returns the stereo output.
std::vector<float> RunFloat(ReverbEngine& engine, const std::vector<float>& in, uint32_t frames) {
  std::vector<float> out(2 * frames);
  uint32_t n = frames, room = frames;
  engine.ProcessFloat32(kModeNormal, in.data(), &n, out.data(), &room);
  return out;
}

}  // namespace

// Upstream turns from stereo to mono mid-stream: the reverberation carries on
// as if the mono samples had come on both channels.
TEST(Processing, InputChannelsChangeMidStream) {
  const std::vector<float> first = FloatNoise(2 * 3000, 7), mono = FloatNoise(3000, 8);
  std::vector<float> both(2 * 3000);
  for (size_t i = 0; i < mono.size(); ++i) both[2 * i] = both[2 * i + 1] = mono[i];
  Rig changed(44100, kFactoryPresets[0].params, kFormatIeeeFloat),
      stereo(44100, kFactoryPresets[0].params, kFormatIeeeFloat);
  EXPECT_EQ(RunFloat(changed.engine, first, 3000), RunFloat(stereo.engine, first, 3000));

  changed.engine.SetInputChannels(1);
  changed.engine.SetInputChannels(0);  // ignored
  changed.engine.SetInputChannels(3);  // ignored
  EXPECT_EQ(changed.engine.InputChannels(), 1);
  EXPECT_EQ(RunFloat(changed.engine, mono, 3000), RunFloat(stereo.engine, both, 3000));
}

// A stream that turns from 16-bit to float samples mid-stream: the state scaled
// by 2^-15 carries on as the state of a float stream fed the same sound.
TEST(Processing, ScaledStateCarriesOnInTheOtherSampleType) {
  const std::vector<int16_t> early = Noise(2 * 6000, 9);
  std::vector<float> earlyAsFloat(early.size());
  for (size_t i = 0; i < early.size(); ++i) earlyAsFloat[i] = static_cast<float>(early[i] / 32768.0);
  const std::vector<float> later = FloatNoise(2 * 4000, 10);

  Rig switched(44100), floatOnly(44100, kFactoryPresets[0].params, kFormatIeeeFloat);
  std::vector<int16_t> ignored(2 * 6000);
  uint32_t n = 6000, room = 6000;
  switched.engine.ProcessPcm16(kModeNormal, early.data(), &n, ignored.data(), &room);
  RunFloat(floatOnly.engine, earlyAsFloat, 6000);
  const int32_t pos = switched.engine.WritePos();
  const uint32_t tail = switched.engine.TailFrames();
  switched.engine.ScaleState(1.0 / 32768);
  EXPECT_EQ(switched.engine.WritePos(), pos);
  EXPECT_EQ(switched.engine.TailFrames(), tail);

  const std::vector<float> a = RunFloat(switched.engine, later, 4000), b = RunFloat(floatOnly.engine, later, 4000);
  float peak = 0;
  for (float s : b) peak = std::max(peak, std::fabs(s));
  ASSERT_GT(peak, 0.1f);
  // Only the constant input offset (1e-20) does not scale.
  for (size_t i = 0; i < a.size(); ++i) ASSERT_NEAR(a[i], b[i], 1e-9 * peak) << "sample " << i;
}

TEST(Processing, StateScaledByTwoThenHalfIsUnchanged) {
  const std::vector<float> early = FloatNoise(2 * 5000, 11), later = FloatNoise(2 * 5000, 12);
  ReverbParams wet = WithMixAndLevel(1.0, 0.0);
  Rig scaled(44100, wet, kFormatIeeeFloat), plain(44100, wet, kFormatIeeeFloat), doubled(44100, wet, kFormatIeeeFloat);
  for (Rig* r : {&scaled, &plain, &doubled}) RunFloat(r->engine, early, 5000);
  scaled.engine.ScaleState(2.0);
  scaled.engine.ScaleState(0.5);
  doubled.engine.ScaleState(2.0);
  const std::vector<float> silence(2 * 5000, 0.0f);
  const std::vector<float> base = RunFloat(plain.engine, silence, 5000);
  EXPECT_EQ(RunFloat(scaled.engine, silence, 5000), base);
  // Every ring and filter state was doubled: the wet tail is twice as loud.
  const std::vector<float> twice = RunFloat(doubled.engine, silence, 5000);
  for (size_t i = 0; i < base.size(); ++i) ASSERT_NEAR(twice[i], 2 * base[i], 1e-6 * std::fabs(base[i]) + 1e-30);
}
