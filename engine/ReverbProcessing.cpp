// The per-frame network and the buffer loops: the realtime path. Nothing here
// allocates, logs or takes a lock except the one snapshot per buffer.
#include <cmath>
#include <cstring>

#include "ReverbEngine.h"

namespace sombrevox {
namespace {

// Index `delay` samples behind `writePos` in a ring of `length` samples.
inline int32_t Behind(int32_t writePos, int32_t delay, int32_t length) {
  int32_t i = writePos - delay;
  return i < 0 ? i + length : i;
}

// Integer samples enter by value, floats widened; a non-finite float sample
// would poison the rings for the rest of the stream, so it enters as silence.
inline double ToDouble(int16_t s) { return static_cast<double>(s); }
inline double ToDouble(float s) { return std::isfinite(s) ? static_cast<double>(s) : 0.0; }

// Truncated toward zero, then limited to the 16-bit range (limiting first
// gives the same result and keeps huge values out of the integer conversion).
inline int16_t FromDouble(double v, int16_t*) {
  if (v >= 32767.0) return 32767;
  if (v <= -32768.0) return -32768;
  return static_cast<int16_t>(static_cast<int32_t>(v));
}
inline float FromDouble(double v, float*) { return static_cast<float>(v); }

}  // namespace

void ReverbEngine::ProcessFrame(double xL, double xR, double* yL, double* yR) {
  const EngineCoefficients& k = k_;
  const int32_t pos = writePos_;
  const int32_t len = k.ringLength;
  double* const base = rings_.get();
  // Ring r starts r * len doubles into the block.
  auto read = [&](int ring, int32_t delay) { return base[static_cast<size_t>(ring) * len + Behind(pos, delay, len)]; };
  auto write = [&](int ring, double v) { base[static_cast<size_t>(ring) * len + pos] = v; };

  const double s = xL + xR;
  const double u = (s + lpPrevIn_) * k.lpGain + k.lpPole * lpPrevOut_;
  lpPrevIn_ = s;
  lpPrevOut_ = u;

  const double e = read(kPreRing, k.predelaySamples);
  const double a1 = read(kDiff1In, k.diff1Delay) + k.diff1Gain * (read(kDiffMid, k.diff1Delay) - e);
  const double a2 = read(kDiffMid, k.diff2Delay) + k.diff2Gain * (read(kDiff2Out, k.diff2Delay) - a1);

  double c[kLineCount], tap[kLineCount];
  for (int i = 0; i < kLineCount; ++i) {
    c[i] = read(kLine0 + i, k.lineDelay[i]);
    tap[i] = k.tapWeight[i] * c[i];
  }
  // The two tap sums, added in exactly this order.
  const double p = tap[4] + tap[3] + tap[2] + tap[1] + tap[0] - tap[5] + tap[6] - tap[7];
  const double q = tap[0] - tap[1] + tap[2] - tap[3] + tap[7] + tap[6] + tap[5] + tap[4];

  const double qL = read(kOutL1In, k.outL1Delay) + k.out1Gain * (read(kOutLMid, k.outL1Delay) - p);
  const double zL = read(kOutLMid, k.outL2Delay) + k.out2Gain * (read(kOutL2Out, k.outL2Delay) - qL);
  const double qR = read(kOutR1In, k.outR1Delay) + k.out1Gain * (read(kOutRMid, k.outR1Delay) - q);
  const double zR = read(kOutRMid, k.outR2Delay) + k.out2Gain * (read(kOutR2Out, k.outR2Delay) - qR);
  write(kOutL1In, p);
  write(kOutLMid, qL);
  write(kOutL2Out, zL);
  write(kOutR1In, q);
  write(kOutRMid, qR);
  write(kOutR2Out, zR);

  const double wet = k.applied.mix;
  *yL = xL * k.dryGain + wet * zL;
  *yR = xR * k.dryGain + wet * zR;

  for (int i = 0; i < kLineCount; ++i) dampState_[i] = k.dampB[i] * c[i] + k.dampA[i] * dampState_[i];

  write(kDiff1In, e);
  write(kDiffMid, a1);
  write(kDiff2Out, a2);

  const double f = a2 - 0.25 * (tap[7] + tap[6] + tap[5] + tap[4] + tap[3] + tap[2] + tap[1] + tap[0]);
  for (int i = 0; i < kLineCount; ++i) write(kLine0 + i, f + dampState_[i]);
  write(kPreRing, u);
}

template <typename Sample, int Channels>
void ReverbEngine::RunFrames(const Sample* input, Sample* output, uint32_t n) {
  const double gain = k_.outputGain;
  const int32_t len = k_.ringLength;
  for (uint32_t f = 0; f < n; ++f) {
    double xL, xR;
    if (Channels == 0) {  // the tail: silence
      xL = 1e-20;
      xR = 1e-20;
    } else if (Channels == 1) {
      xL = ToDouble(input[f]) + 1e-20;
      xR = xL;
    } else {
      xL = ToDouble(input[2 * f]) + 1e-20;
      xR = ToDouble(input[2 * f + 1]) + 1e-20;
    }
    double yL, yR;
    ProcessFrame(xL, xR, &yL, &yR);
    output[2 * f] = FromDouble(yL * gain, output);
    output[2 * f + 1] = FromDouble(yR * gain, output);
    if (++writePos_ == len) writePos_ = 0;
  }
}

template <typename Sample>
Status ReverbEngine::Process(int mode, const Sample* input, uint32_t* inFrames, Sample* output, uint32_t* outFrames) {
  const uint32_t offered = inFrames ? *inFrames : 0;
  const uint32_t room = outFrames ? *outFrames : 0;

  ReverbParams snapshot;
  if (TakeSnapshot(&snapshot) || !coefficientsValid_) {
    const Status s = DeriveCoefficients(snapshot);
    if (Failed(s)) return s;
  }

  // Outside streaming there are no rings: nothing to render.
  uint32_t n = rings_ ? (offered < room ? offered : room) : 0;
  Status result = kOk;
  if (mode == kModeTail) {
    n = rings_ ? (room < tailFrames_ ? room : tailFrames_) : 0;
    tailFrames_ -= n;
    if (tailFrames_ == 0) result = kTailFinished;
    RunFrames<Sample, 0>(nullptr, output, n);
  } else {
    const double spm = k_.samplesPerMs;
    tailFrames_ = static_cast<uint32_t>(spm * k_.applied.decayMs * 1.1 + spm * k_.applied.predelayMs);
    if (inputFormat_.channels == 1)
      RunFrames<Sample, 1>(input, output, n);
    else
      RunFrames<Sample, 2>(input, output, n);
    if (inFrames) *inFrames = n;
  }
  if (outFrames) *outFrames = n;
  return result;
}

Status ReverbEngine::ProcessPcm16(int mode, const int16_t* input, uint32_t* inFrames, int16_t* output,
                                  uint32_t* outFrames) {
  return Process(mode, input, inFrames, output, outFrames);
}

Status ReverbEngine::ProcessFloat32(int mode, const float* input, uint32_t* inFrames, float* output,
                                    uint32_t* outFrames) {
  return Process(mode, input, inFrames, output, outFrames);
}

}  // namespace sombrevox
