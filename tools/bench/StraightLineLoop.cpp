#include "StraightLineLoop.h"

#include <algorithm>

#include "NetworkTuning.h"

namespace sombrevox::bench {
namespace {

// The 21 rings of the network, each read once and written once per frame.
enum Ring : int {
  kPre,
  kDiff1In,
  kDiff1Out,
  kDiff2In,
  kDiff2Out,
  kLine0,
  kOutL1In = kLine0 + kLineCount,
  kOutL1Out,
  kOutR1In,
  kOutR1Out,
  kOutL2In,
  kOutL2Out,
  kOutR2In,
  kOutR2Out,
  kRings,
};

inline double In(int16_t s) { return static_cast<double>(s); }
inline double In(float s) { return static_cast<double>(s); }
inline void Out(double v, int16_t* out) {
  *out = static_cast<int16_t>(static_cast<int32_t>(std::min(std::max(v, -32768.0), 32767.0)));
}
inline void Out(double v, float* out) { *out = static_cast<float>(v); }

}  // namespace

StraightLineLoop::StraightLineLoop(const EngineCoefficients& k)
    : k_(k), rings_(static_cast<size_t>(kRings) * static_cast<size_t>(k.ringLength), 0.0) {
  start_ = std::max({k.predelaySamples, k.diff1Delay, k.diff2Delay, k.outL1Delay, k.outL2Delay, k.outR1Delay,
                     k.outR2Delay, *std::max_element(k.lineDelay, k.lineDelay + kLineCount)});
  pos_ = start_;
}

bool StraightLineLoop::Fits(uint32_t frames) const { return static_cast<int64_t>(start_) + frames <= k_.ringLength; }

template <typename Sample, int Channels>
void StraightLineLoop::Run(const Sample* input, Sample* output, uint32_t frames) {
  if (pos_ + static_cast<int64_t>(frames) > k_.ringLength) pos_ = start_;
  const size_t len = static_cast<size_t>(k_.ringLength);
  double* const base = rings_.data() + pos_;
  auto ring = [&](int r) { return base + r * len; };
  const double* const pre = ring(kPre) - k_.predelaySamples;
  const double* const d1in = ring(kDiff1In) - k_.diff1Delay;
  const double* const d1out = ring(kDiff1Out) - k_.diff1Delay;
  const double* const d2in = ring(kDiff2In) - k_.diff2Delay;
  const double* const d2out = ring(kDiff2Out) - k_.diff2Delay;
  const double* const l0 = ring(kLine0 + 0) - k_.lineDelay[0];
  const double* const l1 = ring(kLine0 + 1) - k_.lineDelay[1];
  const double* const l2 = ring(kLine0 + 2) - k_.lineDelay[2];
  const double* const l3 = ring(kLine0 + 3) - k_.lineDelay[3];
  const double* const l4 = ring(kLine0 + 4) - k_.lineDelay[4];
  const double* const l5 = ring(kLine0 + 5) - k_.lineDelay[5];
  const double* const l6 = ring(kLine0 + 6) - k_.lineDelay[6];
  const double* const l7 = ring(kLine0 + 7) - k_.lineDelay[7];
  const double* const oL1in = ring(kOutL1In) - k_.outL1Delay;
  const double* const oL1out = ring(kOutL1Out) - k_.outL1Delay;
  const double* const oL2in = ring(kOutL2In) - k_.outL2Delay;
  const double* const oL2out = ring(kOutL2Out) - k_.outL2Delay;
  const double* const oR1in = ring(kOutR1In) - k_.outR1Delay;
  const double* const oR1out = ring(kOutR1Out) - k_.outR1Delay;
  const double* const oR2in = ring(kOutR2In) - k_.outR2Delay;
  const double* const oR2out = ring(kOutR2Out) - k_.outR2Delay;

  const double lpGain = k_.lpGain, lpPole = k_.lpPole, g1 = k_.diff1Gain, g2 = k_.diff2Gain;
  const double o1 = k_.out1Gain, o2 = k_.out2Gain, dry = k_.dryGain, wet = k_.applied.mix, gain = k_.outputGain;
  const double w0 = k_.tapWeight[0], w1 = k_.tapWeight[1], w2 = k_.tapWeight[2], w3 = k_.tapWeight[3];
  const double w4 = k_.tapWeight[4], w5 = k_.tapWeight[5], w6 = k_.tapWeight[6], w7 = k_.tapWeight[7];
  double lpIn = lpPrevIn_, lpOut = lpPrevOut_;
  double b[kLineCount], a[kLineCount], h[kLineCount];
  std::copy(k_.dampB, k_.dampB + kLineCount, b);
  std::copy(k_.dampA, k_.dampA + kLineCount, a);
  std::copy(dampState_, dampState_ + kLineCount, h);

  for (size_t i = 0; i < frames; ++i) {
    const double xL = In(input[Channels * i]) + tuning::kInputOffset;
    const double xR = Channels == 2 ? In(input[Channels * i + 1]) + tuning::kInputOffset : xL;
    const double s = xL + xR;
    const double u = (s + lpIn) * lpGain + lpPole * lpOut;
    lpIn = s;
    lpOut = u;
    const double e = pre[i];
    const double a1 = d1in[i] + g1 * (d1out[i] - e);
    const double a2 = d2in[i] + g2 * (d2out[i] - a1);
    const double c0 = l0[i], c1 = l1[i], c2 = l2[i], c3 = l3[i], c4 = l4[i], c5 = l5[i], c6 = l6[i], c7 = l7[i];
    const double t0 = w0 * c0, t1 = w1 * c1, t2 = w2 * c2, t3 = w3 * c3;
    const double t4 = w4 * c4, t5 = w5 * c5, t6 = w6 * c6, t7 = w7 * c7;
    const double p = t4 + t3 + t2 + t1 + t0 - t5 + t6 - t7;
    const double q = t0 - t1 + t2 - t3 + t7 + t6 + t5 + t4;
    const double qL = oL1in[i] + o1 * (oL1out[i] - p);
    const double zL = oL2in[i] + o2 * (oL2out[i] - qL);
    const double qR = oR1in[i] + o1 * (oR1out[i] - q);
    const double zR = oR2in[i] + o2 * (oR2out[i] - qR);
    ring(kOutL1In)[i] = p;
    ring(kOutL1Out)[i] = qL;
    ring(kOutL2In)[i] = qL;
    ring(kOutL2Out)[i] = zL;
    ring(kOutR1In)[i] = q;
    ring(kOutR1Out)[i] = qR;
    ring(kOutR2In)[i] = qR;
    ring(kOutR2Out)[i] = zR;
    const double yL = xL * dry + wet * zL;
    const double yR = xR * dry + wet * zR;
    h[0] = b[0] * c0 + a[0] * h[0];
    h[1] = b[1] * c1 + a[1] * h[1];
    h[2] = b[2] * c2 + a[2] * h[2];
    h[3] = b[3] * c3 + a[3] * h[3];
    h[4] = b[4] * c4 + a[4] * h[4];
    h[5] = b[5] * c5 + a[5] * h[5];
    h[6] = b[6] * c6 + a[6] * h[6];
    h[7] = b[7] * c7 + a[7] * h[7];
    ring(kDiff1In)[i] = e;
    ring(kDiff1Out)[i] = a1;
    ring(kDiff2In)[i] = a1;
    ring(kDiff2Out)[i] = a2;
    const double f = a2 - tuning::kCrossFeedback * (t7 + t6 + t5 + t4 + t3 + t2 + t1 + t0);
    for (int l = 0; l < kLineCount; ++l) ring(kLine0 + l)[i] = f + h[l];
    ring(kPre)[i] = u;
    Out(yL * gain, &output[2 * i]);
    Out(yR * gain, &output[2 * i + 1]);
  }

  lpPrevIn_ = lpIn;
  lpPrevOut_ = lpOut;
  std::copy(h, h + kLineCount, dampState_);
  pos_ += static_cast<int32_t>(frames);
}

template void StraightLineLoop::Run<float, 1>(const float*, float*, uint32_t);
template void StraightLineLoop::Run<float, 2>(const float*, float*, uint32_t);
template void StraightLineLoop::Run<int16_t, 1>(const int16_t*, int16_t*, uint32_t);
template void StraightLineLoop::Run<int16_t, 2>(const int16_t*, int16_t*, uint32_t);

}  // namespace sombrevox::bench
