#pragma once
// One plugin instance for the Linux hosts: the engine and its parameters
// behind the port interface that LV2 and LADSPA share (connect, activate,
// run, deactivate).
#include <cstdint>

#include "AudioFormat.h"
#include "PluginDescription.h"
#include "ReverbEngine.h"
#include "SharedParams.h"

namespace sombrevox::plugins {

class ReverbPlugin {
 public:
  // An instance prepared at `sampleRate` with the default setting, or null
  // when the engine refuses the rate (not a whole number of hertz, or one
  // whose rings would be too short) or memory runs out.
  static ReverbPlugin* Create(double sampleRate, const PortLayout& layout);
  ReverbPlugin(const ReverbPlugin&) = delete;
  ReverbPlugin& operator=(const ReverbPlugin&) = delete;

  void ConnectPort(uint32_t port, float* data);
  // Fresh, silent rings, as at the start of a stream.
  void Activate();
  // Frees the rings; Activate brings them back.
  void Deactivate();
  // Takes the controls once, then reverberates `frames` frames through the
  // engine's float path. Allocates nothing; the one lock is the engine's
  // parameter snapshot.
  void Run(uint32_t frames);

 private:
  // Frames per engine call: the interleaving buffers live in the instance.
  static constexpr uint32_t kChunkFrames = 1024;

  explicit ReverbPlugin(const PortLayout& layout);
  void TakeControls();
  void RunChunk(uint32_t offset, uint32_t frames);

  const PortLayout layout_;
  SharedParams params_;
  ReverbEngine engine_{params_};
  AudioFormat inputFormat_{};
  AudioFormat outputFormat_{};
  ProcessMode nextMode_ = kModeDiscontinuity;

  // Host buffers, borrowed from connect to connect.
  const float* controls_[kParamCount] = {};
  const float* inputs_[2] = {};
  float* outputs_[2] = {};
  float* latency_ = nullptr;
  // The controls as last written, bit for bit, so an unchanged control (a
  // NaN included) writes nothing and raises no change flag.
  uint32_t lastControlBits_[kParamCount] = {};
  bool controlsTaken_ = false;

  float interleavedIn_[2 * kChunkFrames];
  float interleavedOut_[2 * kChunkFrames];
};

}  // namespace sombrevox::plugins
