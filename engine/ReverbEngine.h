#pragma once
#include <cstdint>
#include <memory>

#include "AudioFormat.h"
#include "ReverbParams.h"
#include "SharedParams.h"
#include "Status.h"

namespace sombrevox {

constexpr int kLineCount = 8;

// What a buffer loop does with its buffer.
enum ProcessMode : int {
  kModeDiscontinuity = 0,  // the first buffer after a discontinuity; as kModeNormal
  kModeNormal = 1,
  kModeTail = 2,  // renders the tail from silence; there is no input
};

// Everything the network derives from the rate and the parameters. Exposed
// read-only so tests and tools can check the arithmetic.
struct EngineCoefficients {
  // Rate-dependent (PrepareStream).
  double samplesPerMs = 0;
  int32_t ringLength = 0;
  int32_t diff1Delay = 0, diff2Delay = 0;
  int32_t outL1Delay = 0, outL2Delay = 0, outR1Delay = 0, outR2Delay = 0;
  // Parameter-dependent (DeriveCoefficients).
  ReverbParams applied{};  // predelayMs..mix as last derived; levelDb unused
  double dryGain = 0, outputGain = 0;
  double lpGain = 0, lpPole = 0;
  double diff1Gain = 0, diff2Gain = 0, out1Gain = 0, out2Gain = 0;
  double sizeFactor = 0, correctedDecayMs = 0;
  int32_t predelaySamples = 0;
  int32_t lineDelay[kLineCount] = {};
  double loopGain[kLineCount] = {};
  double tapWeight[kLineCount] = {};
  double dampB[kLineCount] = {}, dampA[kLineCount] = {};
};

// The filter states of the network that carry signal, beside the rings.
struct NetworkState {
  double lpPrevIn = 0;   // the input low-pass's previous input (the channel sum)
  double lpPrevOut = 0;  // and its previous output
  double dampState[kLineCount] = {};
};

// The stereo reverberator. It runs on the streaming thread and is not locked;
// only TakeSnapshot touches state shared with other threads, under the
// settings lock of the SharedParams it reads.
class ReverbEngine {
 public:
  explicit ReverbEngine(SharedParams& params);
  ~ReverbEngine();
  ReverbEngine(const ReverbEngine&) = delete;
  ReverbEngine& operator=(const ReverbEngine&) = delete;

  // Allocates zeroed rings for the input's rate and derives coefficients. Only
  // the input's rate and channel count are used: the output is always stereo
  // in the input's sample type.
  // kInvalidArgument for a rate that cannot give valid rings (below 500 Hz),
  // kOutOfMemory when a ring cannot be allocated.
  Status PrepareStream(const AudioFormat& input, const AudioFormat& output);
  void FreeRings();
  // False for a rate whose rings or delays would come out empty or too short
  // (below 500 Hz): PrepareStream refuses it.
  static bool SupportsRate(uint32_t samplesPerSec);
  bool TakeSnapshot(ReverbParams* out) { return params_.TakeSnapshot(out); }
  Status DeriveCoefficients(const ReverbParams& p);

  // Buffer loops. `inFrames` is in/out (null in kModeTail), `outFrames` in/out.
  // Result kOk, kTailFinished in kModeTail at the end of the tail, or a failure.
  Status ProcessPcm16(ProcessMode mode, const int16_t* input, uint32_t* inFrames, int16_t* output,
                      uint32_t* outFrames) noexcept;
  Status ProcessFloat32(ProcessMode mode, const float* input, uint32_t* inFrames, float* output,
                        uint32_t* outFrames) noexcept;

  // The mono (1) or stereo (2) input loop from the next buffer on, rings and
  // states untouched: upstream changed its channel count mid-stream. Any other
  // value is ignored.
  void SetInputChannels(uint16_t channels) noexcept;
  // Multiplies every ring sample and every filter state that carries signal by
  // `factor`; coefficients, delays, the write position and the tail count stay.
  // For a change of sample type mid-stream: 16-bit samples enter by integer
  // value, floats 32768 times smaller, so the factor is 2^-15 or 2^15 (exact).
  void ScaleState(double factor) noexcept;

  const EngineCoefficients& Coefficients() const { return k_; }
  bool CoefficientsValid() const { return coefficientsValid_; }
  bool HasRings() const { return rings_ != nullptr; }
  uint32_t TailFrames() const { return tailFrames_; }
  int32_t WritePos() const { return writePos_; }
  uint16_t InputChannels() const { return channels_; }

 private:
  template <typename Sample>
  Status Process(ProcessMode mode, const Sample* input, uint32_t* inFrames, Sample* output,
                 uint32_t* outFrames) noexcept;
  // Channels 0 is the tail (silence in), 1 mono, 2 stereo.
  template <typename Sample, int Channels>
  void RunInput(const Sample* input, Sample* output, uint32_t frames) noexcept;
  template <typename Sample, int Channels, bool Guarded>
  void RunFrames(const Sample* input, Sample* output, uint32_t frames) noexcept;
  void DeriveRateDelays();

  SharedParams& params_;
  uint32_t samplesPerSec_ = 0;  // of the input
  uint16_t channels_ = 2;       // of the input

  bool coefficientsValid_ = false;
  EngineCoefficients k_;
  int32_t writePos_ = 0;
  uint32_t tailFrames_ = 0;
  NetworkState state_;

  // All rings share one zeroed block of kRingCount * ringLength doubles, ring r
  // from r * ringLength on. The histories of a chain of two all-passes (the
  // input diffusers; the left, the right output all-passes) take three rings'
  // room as one ring of triples: first stage in, first stage out (which is the
  // second stage in, kept once), second stage out. Each stage then reads its
  // two histories through one pointer.
  enum Ring : int {
    kPreRing = 0,
    kDiffChain,
    kLine0 = kDiffChain + 3,
    kOutLChain = kLine0 + kLineCount,
    kOutRChain = kOutLChain + 3,
    kRingCount = kOutRChain + 3,
  };
  std::unique_ptr<double[]> rings_;
};

}  // namespace sombrevox
