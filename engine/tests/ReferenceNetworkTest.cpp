// The engine against a plain, unoptimised transcription of the network: one
// vector per ring, every step in the written order. The engine may lay out and
// share its rings as it likes, but its output must stay bit-identical.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "EngineFixture.h"

using namespace sombrevox;
using sombrevox::test::Format;
using sombrevox::test::Rig;

namespace {

class ReferenceNetwork {
 public:
  explicit ReferenceNetwork(const EngineCoefficients& k) : k_(k) {
    for (auto& r : rings_) r.assign(k.ringLength, 0.0);
  }
  void SetCoefficients(const EngineCoefficients& k) { k_ = k; }

  void Frame(double xL, double xR, double* yL, double* yR) {
    auto read = [&](int ring, int32_t d) {
      int32_t i = pos_ - d;
      if (i < 0) i += k_.ringLength;
      return rings_[ring][i];
    };
    auto write = [&](int ring, double v) { rings_[ring][pos_] = v; };
    enum { pre, d1in, d1out, d2in, d2out, l0, oL1in = l0 + 8, oL1out, oR1in, oR1out, oL2in, oL2out, oR2in, oR2out };
    double s = xL + xR;
    double u = (s + lpIn_) * k_.lpGain + k_.lpPole * lpOut_;
    lpIn_ = s;
    lpOut_ = u;
    double e = read(pre, k_.predelaySamples);
    double a1 = read(d1in, k_.diff1Delay) + k_.diff1Gain * (read(d1out, k_.diff1Delay) - e);
    double a2 = read(d2in, k_.diff2Delay) + k_.diff2Gain * (read(d2out, k_.diff2Delay) - a1);
    double c[8], t[8];
    for (int i = 0; i < 8; ++i) {
      c[i] = read(l0 + i, k_.lineDelay[i]);
      t[i] = k_.tapWeight[i] * c[i];
    }
    double P = t[4] + t[3] + t[2] + t[1] + t[0] - t[5] + t[6] - t[7];
    double S = t[0] - t[1] + t[2] - t[3] + t[7] + t[6] + t[5] + t[4];
    double qL = read(oL1in, k_.outL1Delay) + k_.out1Gain * (read(oL1out, k_.outL1Delay) - P);
    double zL = read(oL2in, k_.outL2Delay) + k_.out2Gain * (read(oL2out, k_.outL2Delay) - qL);
    double qR = read(oR1in, k_.outR1Delay) + k_.out1Gain * (read(oR1out, k_.outR1Delay) - S);
    double zR = read(oR2in, k_.outR2Delay) + k_.out2Gain * (read(oR2out, k_.outR2Delay) - qR);
    write(oL1in, P), write(oL1out, qL), write(oL2in, qL), write(oL2out, zL);
    write(oR1in, S), write(oR1out, qR), write(oR2in, qR), write(oR2out, zR);
    *yL = xL * k_.dryGain + k_.applied.mix * zL;
    *yR = xR * k_.dryGain + k_.applied.mix * zR;
    for (int i = 0; i < 8; ++i) damp_[i] = k_.dampB[i] * c[i] + k_.dampA[i] * damp_[i];
    write(d1in, e), write(d1out, a1), write(d2in, a1), write(d2out, a2);
    double f = a2 - 0.25 * (t[7] + t[6] + t[5] + t[4] + t[3] + t[2] + t[1] + t[0]);
    for (int i = 0; i < 8; ++i) write(l0 + i, f + damp_[i]);
    write(pre, u);
    if (++pos_ == k_.ringLength) pos_ = 0;
  }

  // Input and output conversions of the buffer loops.
  static double In(float s) { return std::isfinite(s) ? static_cast<double>(s) : 0.0; }
  static double In(int16_t s) { return static_cast<double>(s); }
  float Out(double y, float*) const { return static_cast<float>(y * k_.outputGain); }
  int16_t Out(double y, int16_t*) const {
    const double t = std::trunc(y * k_.outputGain);
    if (std::isnan(t)) return 0;
    return static_cast<int16_t>(t > 32767 ? 32767 : t < -32768 ? -32768 : t);
  }
  float Float(double y) const { return Out(y, static_cast<float*>(nullptr)); }

 private:
  EngineCoefficients k_;
  std::vector<double> rings_[21];
  int32_t pos_ = 0;
  double lpIn_ = 0, lpOut_ = 0, damp_[8] = {};
};

// Float input through both, with a parameter change between two buffers.
void CompareFloat(uint32_t rate, uint16_t channels, int presetA, int presetB) {
  Rig rig(rate, kFactoryPresets[presetA].params, kFormatIeeeFloat, channels);
  ASSERT_EQ(rig.prepared, kOk);
  ReferenceNetwork ref(rig.engine.Coefficients());
  Rig changed(rate, kFactoryPresets[presetB].params, kFormatIeeeFloat, channels);

  std::mt19937 rng(rate + channels);
  std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
  const uint32_t frames = 3000;
  for (int buffer = 0; buffer < 6; ++buffer) {
    if (buffer == 3) {
      rig.params.SetAll(kFactoryPresets[presetB].params);
      ref.SetCoefficients(changed.engine.Coefficients());
    }
    std::vector<float> in(frames * channels), out(frames * 2);
    for (float& s : in) s = buffer < 4 ? noise(rng) : 0.0f;
    if (buffer == 0) in[0] = 1.0f;
    uint32_t n = frames, room = frames;
    ASSERT_EQ(
        rig.engine.ProcessFloat32(buffer == 0 ? kModeDiscontinuity : kModeNormal, in.data(), &n, out.data(), &room),
        kOk);
    ASSERT_EQ(room, frames);
    for (uint32_t f = 0; f < frames; ++f) {
      double xL = static_cast<double>(in[f * channels]) + 1e-20;
      double xR = channels == 2 ? static_cast<double>(in[f * 2 + 1]) + 1e-20 : xL;
      double yL, yR;
      ref.Frame(xL, xR, &yL, &yR);
      ASSERT_EQ(out[2 * f], ref.Float(yL)) << "buffer " << buffer << " frame " << f;
      ASSERT_EQ(out[2 * f + 1], ref.Float(yR)) << "buffer " << buffer << " frame " << f;
    }
  }
}

Status Process(ReverbEngine& e, ProcessMode mode, const float* in, uint32_t* n, float* out, uint32_t* room) {
  return e.ProcessFloat32(mode, in, n, out, room);
}
Status Process(ReverbEngine& e, ProcessMode mode, const int16_t* in, uint32_t* n, int16_t* out, uint32_t* room) {
  return e.ProcessPcm16(mode, in, n, out, room);
}

uint32_t Bits(float v) {
  uint32_t b;
  std::memcpy(&b, &v, sizeof b);
  return b;
}
uint32_t Bits(int16_t v) { return static_cast<uint16_t>(v); }

// Noise over the whole 16-bit range (it clips at +3 dB), or float noise with,
// in odd blocks, NaNs, infinities, denormals and negative zeros strewn in.
std::vector<int16_t> Input(std::mt19937& rng, size_t samples, int16_t*, int) {
  std::uniform_int_distribution<int> d(-32768, 32767);
  std::vector<int16_t> v(samples);
  for (int16_t& s : v) s = static_cast<int16_t>(d(rng));
  return v;
}
std::vector<float> Input(std::mt19937& rng, size_t samples, float*, int block) {
  std::uniform_real_distribution<float> d(-1.5f, 1.5f);
  std::vector<float> v(samples);
  for (float& s : v) s = d(rng);
  if (block % 2) {
    const float odd[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                         -std::numeric_limits<float>::infinity(), 1e-40f, -0.0f};
    for (size_t i = 3; i < samples; i += 397) v[i] = odd[i % 5];
  }
  return v;
}

// Long irregular blocks through the buffer loops against the transcription,
// frame by frame and bit for bit: blocks from one frame to more than a whole
// ring, parameter changes between blocks, a dry share loud enough at +3 dB to
// clip 16-bit output, then the tail in irregular blocks to its end.
template <typename Sample>
void CompareStream(uint32_t rate, uint16_t channels) {
  const uint16_t tag = sizeof(Sample) == 2 ? kFormatPcm : kFormatIeeeFloat;
  auto loud = [](int preset) {
    ReverbParams p = kFactoryPresets[preset].params;
    p.mix = 0.2;
    p.levelDb = 3;
    return p;
  };
  Rig rig(rate, loud(13), tag, channels);
  ASSERT_EQ(rig.prepared, kOk);
  ReferenceNetwork ref(rig.engine.Coefficients());
  std::mt19937 rng(rate + channels + sizeof(Sample));
  int clipped = 0;

  auto compare = [&](const std::vector<Sample>& in, const std::vector<Sample>& out, uint32_t frames, int block) {
    for (uint32_t f = 0; f < frames; ++f) {
      double xL = 1e-20, xR = 1e-20;
      if (!in.empty()) {
        xL = ReferenceNetwork::In(in[f * channels]) + 1e-20;
        xR = channels == 2 ? ReferenceNetwork::In(in[f * 2 + 1]) + 1e-20 : xL;
      }
      double yL, yR;
      ref.Frame(xL, xR, &yL, &yR);
      clipped += sizeof(Sample) == 2 && (Bits(out[2 * f]) == 0x7fff || Bits(out[2 * f]) == 0x8000);
      ASSERT_EQ(Bits(out[2 * f]), Bits(ref.Out(yL, static_cast<Sample*>(nullptr))))
          << "block " << block << " frame " << f;
      ASSERT_EQ(Bits(out[2 * f + 1]), Bits(ref.Out(yR, static_cast<Sample*>(nullptr))))
          << "block " << block << " frame " << f;
    }
  };

  const uint32_t blocks[] = {1, 4096, 7, 12000, 333, 2, 5000, 999, 11135, 64, 3000};
  for (int b = 0; b < static_cast<int>(std::size(blocks)); ++b) {
    if (b == 3) rig.params.SetAll(loud(0));
    if (b == 6) rig.params.Set(kDecay, 4000);
    if (b == 9) rig.params.SetAll(loud(14));
    const std::vector<Sample> in = Input(rng, size_t{blocks[b]} * channels, static_cast<Sample*>(nullptr), b);
    std::vector<Sample> out(2 * size_t{blocks[b]});
    uint32_t n = blocks[b], room = blocks[b];
    ASSERT_EQ(Process(rig.engine, b == 0 ? kModeDiscontinuity : kModeNormal, in.data(), &n, out.data(), &room), kOk);
    ASSERT_EQ(n, blocks[b]);
    ASSERT_EQ(room, blocks[b]);
    ref.SetCoefficients(rig.engine.Coefficients());
    compare(in, out, blocks[b], b);
    if (::testing::Test::HasFatalFailure()) return;
  }

  const uint32_t tailBlocks[] = {777, 1, 12000, 4410};
  Status s = kOk;
  for (int b = 0; s != kTailFinished; ++b) {
    ASSERT_LT(b, 100);
    uint32_t room = tailBlocks[b % std::size(tailBlocks)];
    std::vector<Sample> out(2 * size_t{room});
    s = Process(rig.engine, kModeTail, nullptr, nullptr, out.data(), &room);
    compare({}, out, room, 100 + b);
    if (::testing::Test::HasFatalFailure()) return;
  }
  if (sizeof(Sample) == 2) {
    EXPECT_GT(clipped, 1000) << "the loud blocks must clip";
  }
}

}  // namespace

TEST(ReferenceNetwork, IrregularBlocksFloatStereo) { CompareStream<float>(44100, 2); }
TEST(ReferenceNetwork, IrregularBlocksFloatMono) { CompareStream<float>(48000, 1); }
TEST(ReferenceNetwork, IrregularBlocksPcm16Stereo) { CompareStream<int16_t>(22050, 2); }
TEST(ReferenceNetwork, IrregularBlocksPcm16Mono) { CompareStream<int16_t>(44100, 1); }

TEST(ReferenceNetwork, StereoDefaultThenHallAt44100) { CompareFloat(44100, 2, 0, 11); }
TEST(ReferenceNetwork, MonoLongTailThenMirrorAt22050) { CompareFloat(22050, 1, 12, 14); }
TEST(ReferenceNetwork, StereoHugeSpaceThenSmallRoomAt8000) { CompareFloat(8000, 2, 13, 1); }
