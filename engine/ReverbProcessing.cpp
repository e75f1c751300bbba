// The buffer loops: the realtime path. Nothing here allocates, logs or takes a
// lock except the one snapshot per buffer.
//
// A buffer runs in stretches of frames within which no ring index wraps: each
// stretch computes its read and write pointers once, and its frames step
// through them with one index. Coefficients and filter states live in locals
// for the whole buffer, where ring writes cannot alias them. Within a frame
// the operations keep the network's order exactly, so the output is bit for
// bit that of a plain frame-by-frame transcription.
#include <cmath>
#include <cstring>
#include <type_traits>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "NetworkTuning.h"
#include "ReverbEngine.h"

namespace sombrevox {
namespace {

// The coefficients one frame uses, copied out for one buffer.
struct FrameCoefficients {
  double lpGain, lpPole;
  double diff1Gain, diff2Gain, out1Gain, out2Gain;
  double dryGain, wetGain, outputGain;
  double tapWeight[kLineCount];
  double dampB[kLineCount], dampA[kLineCount];

  explicit FrameCoefficients(const EngineCoefficients& k)
      : lpGain(k.lpGain),
        lpPole(k.lpPole),
        diff1Gain(k.diff1Gain),
        diff2Gain(k.diff2Gain),
        out1Gain(k.out1Gain),
        out2Gain(k.out2Gain),
        dryGain(k.dryGain),
        wetGain(k.applied.mix),
        outputGain(k.outputGain) {
    std::memcpy(tapWeight, k.tapWeight, sizeof tapWeight);
    std::memcpy(dampB, k.dampB, sizeof dampB);
    std::memcpy(dampA, k.dampA, sizeof dampA);
  }
};

// The rings at the first frame of a stretch: its frame i reads and writes
// element i of each single ring, triple i of each chain (first stage in,
// middle, second stage out).
struct StretchPointers {
  const double* pre;
  const double *diff1, *diff2;  // the diffuser chain, behind by each stage's delay
  const double* line[kLineCount];
  const double *outL1, *outL2, *outR1, *outR2;
  double* writePre;
  double* writeDiff;
  double* writeLine[kLineCount];
  double *writeOutL, *writeOutR;
};

// One frame through the network. Every value is computed from the same
// operands in the same order as the network defines it; only steps that do not
// depend on each other are moved: each stage's ring writes follow right after
// its reads (a ring is still read before it is written), and each line's
// damping filter follows its tap. Fewer values are alive at once.
[[gnu::always_inline]] inline void NetworkFrame(const FrameCoefficients& k, NetworkState& st, const StretchPointers& r,
                                                size_t i, double xL, double xR, double* yL, double* yR) {
  const double s = xL + xR;
  const double u = (s + st.lpPrevIn) * k.lpGain + k.lpPole * st.lpPrevOut;
  st.lpPrevIn = s;
  st.lpPrevOut = u;

  const size_t t = 3 * i;  // the frame's triple in the chains
  const double e = r.pre[i];
  const double a1 = r.diff1[t] + k.diff1Gain * (r.diff1[t + 1] - e);
  const double a2 = r.diff2[t + 1] + k.diff2Gain * (r.diff2[t + 2] - a1);
  r.writeDiff[t] = e;
  r.writeDiff[t + 1] = a1;
  r.writeDiff[t + 2] = a2;
  r.writePre[i] = u;

  double tap[kLineCount];
  for (int l = 0; l < kLineCount; ++l) {
    const double c = r.line[l][i];
    tap[l] = k.tapWeight[l] * c;
    st.dampState[l] = k.dampB[l] * c + k.dampA[l] * st.dampState[l];
  }
  // The tap sums, added in exactly this order.
  const double p = tap[4] + tap[3] + tap[2] + tap[1] + tap[0] - tap[5] + tap[6] - tap[7];
  const double q = tap[0] - tap[1] + tap[2] - tap[3] + tap[7] + tap[6] + tap[5] + tap[4];
  const double f =
      a2 - tuning::kCrossFeedback * (tap[7] + tap[6] + tap[5] + tap[4] + tap[3] + tap[2] + tap[1] + tap[0]);
  for (int l = 0; l < kLineCount; ++l) r.writeLine[l][i] = f + st.dampState[l];

  const double qL = r.outL1[t] + k.out1Gain * (r.outL1[t + 1] - p);
  const double zL = r.outL2[t + 1] + k.out2Gain * (r.outL2[t + 2] - qL);
  r.writeOutL[t] = p;
  r.writeOutL[t + 1] = qL;
  r.writeOutL[t + 2] = zL;
  *yL = xL * k.dryGain + k.wetGain * zL;
  const double qR = r.outR1[t] + k.out1Gain * (r.outR1[t + 1] - q);
  const double zR = r.outR2[t + 1] + k.out2Gain * (r.outR2[t + 2] - qR);
  r.writeOutR[t] = q;
  r.writeOutR[t + 1] = qR;
  r.writeOutR[t + 2] = zR;
  *yR = xR * k.dryGain + k.wetGain * zR;
}

// Integer samples enter by value, floats widened. In the guarded loop a
// non-finite float, which would poison the rings for the rest of the stream,
// enters as silence.
template <bool Guarded>
inline double ToDouble(int16_t s) {
  return static_cast<double>(s);
}
template <bool Guarded>
inline double ToDouble(float s) {
  if (Guarded && !std::isfinite(s)) return 0.0;
  return static_cast<double>(s);
}

// One output frame: yL and yR times the output gain. 16-bit samples are
// truncated toward zero, then limited to the 16-bit range (limiting first gives
// the same result and keeps huge values out of the conversion); a NaN passes
// both limits and converts to the integer indefinite, 0x80000000, whose low 16
// bits are 0. With SSE2 both channels go through one packed operation each,
// which rounds every lane exactly as the scalar one would.
#if defined(__SSE2__)
inline void StoreFrame(double yL, double yR, double gain, int16_t* out) {
  const __m128d v = _mm_mul_pd(_mm_set_pd(yR, yL), _mm_set1_pd(gain));
  // minpd/maxpd return their second operand when one is a NaN.
  const __m128d limited = _mm_min_pd(_mm_set1_pd(32767.0), _mm_max_pd(_mm_set1_pd(-32768.0), v));
  // The low 16 bits of each 32-bit integer, side by side.
  const __m128i words = _mm_shufflelo_epi16(_mm_cvttpd_epi32(limited), 0x08);
  const int32_t pair = _mm_cvtsi128_si32(words);
  std::memcpy(out, &pair, sizeof pair);
}
inline void StoreFrame(double yL, double yR, double gain, float* out) {
  const __m128 pair = _mm_cvtpd_ps(_mm_mul_pd(_mm_set_pd(yR, yL), _mm_set1_pd(gain)));
  _mm_storel_pi(reinterpret_cast<__m64*>(out), pair);
}
#else
inline int16_t ToPcm16(double v) {
  if (v >= 32767.0) return 32767;
  if (v <= -32768.0) return -32768;
  if (v != v) return 0;
  return static_cast<int16_t>(static_cast<int32_t>(v));
}
inline void StoreFrame(double yL, double yR, double gain, int16_t* out) {
  out[0] = ToPcm16(yL * gain);
  out[1] = ToPcm16(yR * gain);
}
inline void StoreFrame(double yL, double yR, double gain, float* out) {
  out[0] = static_cast<float>(yL * gain);
  out[1] = static_cast<float>(yR * gain);
}
#endif

// True when no sample is a NaN or an infinity (all exponent bits set): one
// pass that the compiler vectorises, so the per-sample guard is needed only
// for the rare buffer that fails it.
bool AllFinite(const float* samples, size_t count) noexcept {
  uint32_t nonFinite = 0;
  for (size_t i = 0; i < count; ++i) {
    uint32_t bits;
    std::memcpy(&bits, &samples[i], sizeof bits);
    nonFinite |= (bits & 0x7f800000u) == 0x7f800000u;
  }
  return nonFinite == 0;
}

// Frames from `pos` on before a ring index wraps: the write index at the end
// of the rings, a read index `delay` behind it in the previous lap
// (delay > pos) after delay - pos frames.
template <size_t N>
uint32_t FramesBeforeWrap(int32_t pos, int32_t length, const int32_t (&delays)[N], uint32_t limit) {
  uint32_t frames = static_cast<uint32_t>(length - pos);
  if (limit < frames) frames = limit;
  for (int32_t d : delays) {
    if (d > pos && static_cast<uint32_t>(d - pos) < frames) frames = static_cast<uint32_t>(d - pos);
  }
  return frames;
}

}  // namespace

template <typename Sample, int Channels, bool Guarded>
void ReverbEngine::RunFrames(const Sample* input, Sample* output, uint32_t frames) noexcept {
  const FrameCoefficients k(k_);
  NetworkState st = state_;
  const int32_t length = k_.ringLength;
  int32_t pos = writePos_;
  double* const block = rings_.get();
  const int32_t delays[] = {k_.predelaySamples, k_.diff1Delay,   k_.diff2Delay,   k_.lineDelay[0], k_.lineDelay[1],
                            k_.lineDelay[2],    k_.lineDelay[3], k_.lineDelay[4], k_.lineDelay[5], k_.lineDelay[6],
                            k_.lineDelay[7],    k_.outL1Delay,   k_.outL2Delay,   k_.outR1Delay,   k_.outR2Delay};

  while (frames > 0) {
    const uint32_t stretch = FramesBeforeWrap(pos, length, delays, frames);
    auto ring = [&](int r) { return block + static_cast<size_t>(r) * static_cast<size_t>(length); };
    auto index = [&](int32_t delay) {
      const int32_t i = pos - delay;
      return static_cast<size_t>(i < 0 ? i + length : i);
    };
    StretchPointers p;
    p.pre = ring(kPreRing) + index(k_.predelaySamples);
    p.diff1 = ring(kDiffChain) + 3 * index(k_.diff1Delay);
    p.diff2 = ring(kDiffChain) + 3 * index(k_.diff2Delay);
    for (int l = 0; l < kLineCount; ++l) p.line[l] = ring(kLine0 + l) + index(k_.lineDelay[l]);
    p.outL1 = ring(kOutLChain) + 3 * index(k_.outL1Delay);
    p.outL2 = ring(kOutLChain) + 3 * index(k_.outL2Delay);
    p.outR1 = ring(kOutRChain) + 3 * index(k_.outR1Delay);
    p.outR2 = ring(kOutRChain) + 3 * index(k_.outR2Delay);
    p.writePre = ring(kPreRing) + pos;
    p.writeDiff = ring(kDiffChain) + 3 * static_cast<size_t>(pos);
    for (int l = 0; l < kLineCount; ++l) p.writeLine[l] = ring(kLine0 + l) + pos;
    p.writeOutL = ring(kOutLChain) + 3 * static_cast<size_t>(pos);
    p.writeOutR = ring(kOutRChain) + 3 * static_cast<size_t>(pos);

    for (size_t i = 0; i < stretch; ++i) {
      double xL, xR;
      if constexpr (Channels == 0) {  // the tail: silence
        xL = 0.0 + tuning::kInputOffset;
        xR = xL;
      } else if constexpr (Channels == 1) {
        xL = ToDouble<Guarded>(input[i]) + tuning::kInputOffset;
        xR = xL;
      } else {
        xL = ToDouble<Guarded>(input[2 * i]) + tuning::kInputOffset;
        xR = ToDouble<Guarded>(input[2 * i + 1]) + tuning::kInputOffset;
      }
      double yL, yR;
      NetworkFrame(k, st, p, i, xL, xR, &yL, &yR);
      StoreFrame(yL, yR, k.outputGain, output + 2 * i);
    }

    if (Channels > 0) input += static_cast<size_t>(Channels) * stretch;
    output += 2 * static_cast<size_t>(stretch);
    frames -= stretch;
    pos += static_cast<int32_t>(stretch);
    if (pos == length) pos = 0;
  }

  state_ = st;
  writePos_ = pos;
}

template <typename Sample, int Channels>
void ReverbEngine::RunInput(const Sample* input, Sample* output, uint32_t frames) noexcept {
  if constexpr (std::is_same_v<Sample, float> && Channels > 0) {
    if (!AllFinite(input, static_cast<size_t>(Channels) * frames)) {
      RunFrames<Sample, Channels, true>(input, output, frames);
      return;
    }
  }
  RunFrames<Sample, Channels, false>(input, output, frames);
}

template <typename Sample>
Status ReverbEngine::Process(ProcessMode mode, const Sample* input, uint32_t* inFrames, Sample* output,
                             uint32_t* outFrames) noexcept {
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
    RunInput<Sample, 0>(nullptr, output, n);
  } else {
    const double spm = k_.samplesPerMs;
    tailFrames_ =
        static_cast<uint32_t>(spm * k_.applied.decayMs * tuning::kTailDecayFactor + spm * k_.applied.predelayMs);
    if (channels_ == 1)
      RunInput<Sample, 1>(input, output, n);
    else
      RunInput<Sample, 2>(input, output, n);
    if (inFrames) *inFrames = n;
  }
  if (outFrames) *outFrames = n;
  return result;
}

Status ReverbEngine::ProcessPcm16(ProcessMode mode, const int16_t* input, uint32_t* inFrames, int16_t* output,
                                  uint32_t* outFrames) noexcept {
  return Process(mode, input, inFrames, output, outFrames);
}

Status ReverbEngine::ProcessFloat32(ProcessMode mode, const float* input, uint32_t* inFrames, float* output,
                                    uint32_t* outFrames) noexcept {
  return Process(mode, input, inFrames, output, outFrames);
}

}  // namespace sombrevox
