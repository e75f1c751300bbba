#include "ReverbEngine.h"

#include <cmath>
#include <cstdint>
#include <iterator>
#include <new>

#include "LowpassCeiling.h"
#include "NetworkTuning.h"

namespace sombrevox {

using namespace tuning;
static_assert(std::size(kLineBaseMs) == kLineCount, "one base time per line");

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kCubeRoot = 0.3333333333333333;

// Add 0.5 and truncate toward zero.
int32_t Round(double v) { return static_cast<int32_t>(v + 0.5); }

double SizeFactor(double roomSize) { return std::pow(roomSize * 10.0, kCubeRoot) * 0.1; }

// 250 ms plus one per cent.
int32_t RingLength(double samplesPerMs) {
  const int32_t base = static_cast<int32_t>(samplesPerMs * 250.0);
  return base + static_cast<int32_t>(base * 0.01);
}

// True when every delay any parameter record can ask for lies in 1..ringLength.
bool RateGivesValidRings(double samplesPerMs, int32_t ringLength) {
  if (!(samplesPerMs > 0) || ringLength <= 0) return false;
  auto fits = [&](double ms) {
    const double samples = samplesPerMs * ms + 0.5;
    return samples >= 1.0 && samples < static_cast<double>(ringLength) + 1.0;
  };
  const ParamRange& predelay = kParamRanges[kPredelay];
  const ParamRange& room = kParamRanges[kRoomSize];
  return fits(predelay.lower) && fits(predelay.upper) && fits(kDiff1Ms) && fits(kDiff2Ms) && fits(kOutL1Ms) &&
         fits(kOutL2Ms) && fits(kOutR1Ms) && fits(kOutR2Ms) &&
         fits(SizeFactor(room.lower) * kLineBaseMs[kLineCount - 1]) && fits(SizeFactor(room.upper) * kLineBaseMs[0]);
}

}  // namespace

bool ReverbEngine::SupportsRate(uint32_t samplesPerSec) {
  // Far above any audio rate the ring length would overflow its count.
  if (samplesPerSec > 100000000u) return false;
  const double samplesPerMs = samplesPerSec * 0.001;
  return RateGivesValidRings(samplesPerMs, RingLength(samplesPerMs));
}

ReverbEngine::ReverbEngine(SharedParams& params) : params_(params) {}

ReverbEngine::~ReverbEngine() = default;

Status ReverbEngine::PrepareStream(const AudioFormat& input, const AudioFormat&) {
  FreeRings();
  samplesPerSec_ = input.samplesPerSec;
  channels_ = input.channels == 1 ? 1 : 2;
  writePos_ = 0;
  tailFrames_ = 0;

  if (!SupportsRate(input.samplesPerSec)) return kInvalidArgument;
  const double samplesPerMs = input.samplesPerSec * 0.001;
  const int32_t ringLength = RingLength(samplesPerMs);

  ReverbParams snapshot;
  TakeSnapshot(&snapshot);
  k_.samplesPerMs = samplesPerMs;
  k_.ringLength = ringLength;

  // On a 32-bit host a huge rate would overflow the block size.
  if (static_cast<size_t>(ringLength) > SIZE_MAX / sizeof(double) / kRingCount) return kOutOfMemory;
  const size_t doubles = static_cast<size_t>(kRingCount) * static_cast<size_t>(ringLength);
  rings_.reset(new (std::nothrow) double[doubles]());
  if (!rings_) return kOutOfMemory;

  state_ = NetworkState{};
  DeriveRateDelays();
  return DeriveCoefficients(snapshot);
}

void ReverbEngine::DeriveRateDelays() {
  const double spm = k_.samplesPerMs;
  k_.diff1Delay = Round(spm * kDiff1Ms);
  k_.diff2Delay = Round(spm * kDiff2Ms);
  k_.outL1Delay = Round(spm * kOutL1Ms);
  k_.outL2Delay = Round(spm * kOutL2Ms);
  k_.outR1Delay = Round(spm * kOutR1Ms);
  k_.outR2Delay = Round(spm * kOutR2Ms);
}

void ReverbEngine::FreeRings() { rings_.reset(); }

void ReverbEngine::SetInputChannels(uint16_t channels) noexcept {
  if (channels == 1 || channels == 2) channels_ = channels;
}

void ReverbEngine::ScaleState(double factor) noexcept {
  if (rings_) {
    double* const ring = rings_.get();
    const size_t doubles = static_cast<size_t>(kRingCount) * static_cast<size_t>(k_.ringLength);
    for (size_t i = 0; i < doubles; ++i) ring[i] *= factor;
  }
  state_.lpPrevIn *= factor;
  state_.lpPrevOut *= factor;
  for (double& s : state_.dampState) s *= factor;
}

Status ReverbEngine::DeriveCoefficients(const ReverbParams& p) {
  const double rate = static_cast<double>(samplesPerSec_);
  const double spm = k_.samplesPerMs;

  k_.dryGain = 1.0 - p.mix;

  // The pole formula runs away at or above half the rate, so the cut-off that
  // enters it is held to the editor's ceiling for the rate; the stored
  // parameter is left as written.
  double cutoff = p.lowpassHz;
  const double ceiling = LowpassCeiling(samplesPerSec_);
  if (ceiling < cutoff) cutoff = ceiling;
  const double w = kTwoPi * cutoff / rate;
  k_.lpPole = (1.0 - std::sin(w)) / std::cos(w);
  k_.lpGain = (1.0 - k_.lpPole) * 0.5 * kLowpassGain;

  const double td = p.diffusion * kDiffusionMs;
  const double g1 = std::pow(10.0, -3.0 * kDiff1Ms / td);
  const double g2 = std::pow(10.0, -3.0 * kDiff2Ms / td);
  k_.diff1Gain = g1 > kDiff1GainCeiling ? kDiff1GainCeiling : g1;
  const double outer = g2 > kOuterGainCeiling ? kOuterGainCeiling : g2;
  k_.diff2Gain = outer;
  k_.out1Gain = outer;
  k_.out2Gain = outer;

  k_.predelaySamples = Round(spm * p.predelayMs);

  k_.sizeFactor = SizeFactor(p.roomSize);
  double lineMs[kLineCount];
  for (int i = 0; i < kLineCount; ++i) {
    lineMs[i] = k_.sizeFactor * kLineBaseMs[i];
    k_.lineDelay[i] = Round(spm * lineMs[i]);
  }

  const double t = (p.decayMs * kDecaySquare + kDecayLinear) * p.decayMs + kDecayOffsetMs;
  k_.correctedDecayMs = t;
  double weightSum = 0;
  for (int i = 0; i < kLineCount; ++i) {
    k_.loopGain[i] = std::pow(10.0, -3.0 * lineMs[i] / t);
    weightSum += 1.0 - k_.loopGain[i];
  }
  for (int i = 0; i < kLineCount; ++i) k_.tapWeight[i] = (1.0 - k_.loopGain[i]) / weightSum;

  const double thf = (1.0 - p.damping) * t;
  for (int i = 0; i < kLineCount; ++i) {
    const double base = std::pow(10.0, -3.0 * lineMs[i] / t);
    const double r = std::pow(base, 1.0 - 1.0 / (thf / t));
    k_.dampA[i] = 1.0 - 2.0 / (r + 1.0);
    k_.dampB[i] = (1.0 - k_.dampA[i]) * base;
  }

  k_.outputGain = std::pow(10.0, p.levelDb * 0.05);
  k_.applied = p;
  coefficientsValid_ = true;
  return kOk;
}

}  // namespace sombrevox
