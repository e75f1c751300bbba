#include "ReverbPlugin.h"

#include <bit>
#include <cmath>
#include <cstddef>
#include <new>

#include "ControlValue.h"

namespace sombrevox::plugins {
namespace {

AudioFormat FloatFormat(uint16_t channels, uint32_t rate) {
  return AudioFormat{kFormatIeeeFloat, channels, rate, static_cast<uint16_t>(4 * channels), 32};
}

// The copies between the host's channel buffers and the engine's frames;
// neither side overlaps the instance's own buffers, and a size_t index (which
// cannot wrap) keeps the stride plain, so they vectorise.
void Interleave(const float* __restrict left, const float* __restrict right, float* __restrict frames, size_t n) {
  for (size_t f = 0; f < n; ++f) {
    frames[2 * f] = left[f];
    frames[2 * f + 1] = right[f];
  }
}

void Deinterleave(const float* __restrict frames, float* __restrict left, float* __restrict right, size_t n) {
  for (size_t f = 0; f < n; ++f) {
    left[f] = frames[2 * f];
    right[f] = frames[2 * f + 1];
  }
}

}  // namespace

ReverbPlugin::ReverbPlugin(const PortLayout& layout) : layout_(layout) {}

ReverbPlugin* ReverbPlugin::Create(double sampleRate, const PortLayout& layout) {
  // The engine counts whole frames per second; anything else is not a rate it can honour exactly.
  if (!(sampleRate >= 1.0 && sampleRate <= 4294967295.0) || sampleRate != std::floor(sampleRate)) return nullptr;
  const uint32_t rate = static_cast<uint32_t>(sampleRate);
  ReverbPlugin* plugin = new (std::nothrow) ReverbPlugin(layout);
  if (!plugin) return nullptr;
  plugin->params_.SetAll(DefaultParams());
  plugin->inputFormat_ = FloatFormat(static_cast<uint16_t>(layout.inputs), rate);
  plugin->outputFormat_ = FloatFormat(2, rate);
  if (Failed(plugin->engine_.PrepareStream(plugin->inputFormat_, plugin->outputFormat_))) {
    delete plugin;
    return nullptr;
  }
  return plugin;
}

void ReverbPlugin::ConnectPort(uint32_t port, float* data) {
  if (port < kParamCount) {
    controls_[port] = data;
  } else if (port < kParamCount + layout_.inputs) {
    inputs_[port - kParamCount] = data;
  } else if (port < layout_.Latency()) {
    outputs_[port - layout_.AudioOut(0)] = data;
  } else if (port == layout_.Latency()) {
    latency_ = data;
  }
}

void ReverbPlugin::Activate() {
  // A refusal here can only be memory: Run then writes silence.
  engine_.PrepareStream(inputFormat_, outputFormat_);
  nextMode_ = kModeDiscontinuity;
}

void ReverbPlugin::Deactivate() { engine_.FreeRings(); }

void ReverbPlugin::TakeControls() {
  for (int i = 0; i < kParamCount; ++i) {
    if (!controls_[i]) continue;
    const float value = *controls_[i];
    const uint32_t bits = std::bit_cast<uint32_t>(value);
    if (controlsTaken_ && bits == lastControlBits_[i]) continue;
    lastControlBits_[i] = bits;
    params_.Set(i, ControlToParam(value));
  }
  controlsTaken_ = true;
}

void ReverbPlugin::Run(uint32_t frames) {
  TakeControls();
  if (latency_) *latency_ = 0.0f;
  if (!inputs_[0] || (layout_.inputs == 2 && !inputs_[1]) || !outputs_[0] || !outputs_[1]) return;
  for (uint32_t done = 0; done < frames; done += kChunkFrames) {
    const uint32_t n = frames - done < kChunkFrames ? frames - done : kChunkFrames;
    RunChunk(done, n);
  }
}

void ReverbPlugin::RunChunk(uint32_t offset, uint32_t frames) {
  // Mono input is already the engine's one-channel layout. Outputs may share
  // memory with inputs, so every output is written only after the engine has
  // read the whole chunk.
  const float* input = inputs_[0] + offset;
  if (layout_.inputs == 2) {
    Interleave(inputs_[0] + offset, inputs_[1] + offset, interleavedIn_, frames);
    input = interleavedIn_;
  }
  uint32_t consumed = frames, produced = frames;
  const Status status = engine_.ProcessFloat32(nextMode_, input, &consumed, interleavedOut_, &produced);
  nextMode_ = kModeNormal;
  // Without rings (activation ran out of memory) the engine produces nothing: silence.
  if (Failed(status)) produced = 0;
  float* left = outputs_[0] + offset;
  float* right = outputs_[1] + offset;
  Deinterleave(interleavedOut_, left, right, produced);
  for (uint32_t f = produced; f < frames; ++f) left[f] = right[f] = 0.0f;
}

}  // namespace sombrevox::plugins
