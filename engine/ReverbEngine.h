#pragma once
#include <cstdint>
#include <memory>

#include "AudioFormat.h"
#include "ReverbParams.h"
#include "SharedParams.h"
#include "Status.h"

namespace sombrevox {

constexpr int kLineCount = 8;

// Processing modes of the buffer loops.
enum ProcessMode : int {
  kModeDiscontinuity = 0,  // first buffer after a discontinuity
  kModeNormal = 1,
  kModeTail = 2,  // render the tail from silence
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

// The stereo reverberator. It runs on the streaming thread and is not locked;
// only TakeSnapshot touches state shared with other threads, under the
// settings lock of the SharedParams it reads.
class ReverbEngine {
 public:
  explicit ReverbEngine(SharedParams& params);
  ~ReverbEngine();
  ReverbEngine(const ReverbEngine&) = delete;
  ReverbEngine& operator=(const ReverbEngine&) = delete;

  // Direction 0 is the input format, 1 the output format.
  void SetFormatReference(int direction, const AudioFormat& format);

  // Allocates zeroed rings for the input rate and derives coefficients.
  // kInvalidArgument for a rate that cannot give valid rings (below 500 Hz),
  // kOutOfMemory when a ring cannot be allocated.
  Status PrepareStream(const AudioFormat& input, const AudioFormat& output);
  void FreeRings();
  // False for a rate whose rings or delays would come out empty or too short
  // (below 500 Hz): PrepareStream refuses it.
  static bool SupportsRate(uint32_t samplesPerSec);
  bool TakeSnapshot(ReverbParams* out) { return params_.TakeSnapshot(out); }
  // The mono (1) or stereo (2) input loop from the next buffer on; rings and
  // states keep their contents. Other values are ignored.
  void SetInputChannels(uint16_t channels) noexcept;
  // Multiplies every ring sample and filter state by `factor` (exact for a
  // power of two): the input's sample scale changed in mid-stream.
  void ScaleState(double factor) noexcept;
  Status DeriveCoefficients(const ReverbParams& p);

  // One frame through the network; neither advances writePos nor converts.
  void ProcessFrame(double xL, double xR, double* yL, double* yR);

  // Buffer loops. `inFrames` is in/out (null in mode 2), `outFrames` in/out.
  // Result kOk, kTailFinished in mode 2 at the end of the tail, or a failure.
  Status ProcessPcm16(int mode, const int16_t* input, uint32_t* inFrames, int16_t* output, uint32_t* outFrames);
  Status ProcessFloat32(int mode, const float* input, uint32_t* inFrames, float* output, uint32_t* outFrames);

  const EngineCoefficients& Coefficients() const { return k_; }
  bool CoefficientsValid() const { return coefficientsValid_; }
  bool HasRings() const { return rings_ != nullptr; }
  uint32_t TailFrames() const { return tailFrames_; }
  int32_t WritePos() const { return writePos_; }

 private:
  template <typename Sample>
  Status Process(int mode, const Sample* input, uint32_t* inFrames, Sample* output, uint32_t* outFrames);
  template <typename Sample, int Channels>
  void RunFrames(const Sample* input, Sample* output, uint32_t n);
  void DeriveRateDelays();

  SharedParams& params_;
  AudioFormat inputFormat_{};
  AudioFormat outputFormat_{};
  bool hasInputFormat_ = false;
  bool hasOutputFormat_ = false;

  bool coefficientsValid_ = false;
  EngineCoefficients k_;
  int32_t writePos_ = 0;
  uint32_t tailFrames_ = 0;

  // Filter states.
  double lpPrevIn_ = 0, lpPrevOut_ = 0;
  double dampState_[kLineCount] = {};

  // All rings share one zeroed block of kRingCount * ringLength doubles. Rings
  // that would always hold the same history (the first diffuser's output and
  // the second's input; each first output all-pass's output and the second's
  // input) are kept once.
  enum Ring : int {
    kPreRing = 0,
    kDiff1In,
    kDiffMid,  // first diffuser out == second diffuser in
    kDiff2Out,
    kLine0,
    kOutL1In = kLine0 + kLineCount,
    kOutLMid,  // left first stage out == left second stage in
    kOutL2Out,
    kOutR1In,
    kOutRMid,
    kOutR2Out,
    kRingCount,
  };
  std::unique_ptr<double[]> rings_;
  double* Ring(int r) { return rings_.get() + static_cast<size_t>(r) * static_cast<size_t>(k_.ringLength); }
};

}  // namespace sombrevox
