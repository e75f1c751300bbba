#pragma once
// What the Linux plugins show their hosts: identifiers, port layout and the
// words for each control. Read by the LV2 and LADSPA entry points and by the
// program that writes the LV2 bundle's description, so they never disagree.
#include <cstdint>

#include "ReverbParams.h"

namespace sombrevox::plugins {

constexpr const char kPluginName[] = "Sombrevox Light";
constexpr const char kMonoPluginName[] = "Sombrevox Light (mono)";
constexpr const char kMaker[] = "ORVELA Soft";

constexpr const char kStereoUri[] = "urn:orvela-soft:sombrevox-light";
constexpr const char kMonoUri[] = "urn:orvela-soft:sombrevox-light:mono";
constexpr const char kPresetUriPrefix[] = "urn:orvela-soft:sombrevox-light:preset:";

constexpr const char kLadspaStereoLabel[] = "sombrevox";
constexpr const char kLadspaMonoLabel[] = "sombrevox_mono";
constexpr unsigned long kLadspaStereoId = 5517;
constexpr unsigned long kLadspaMonoId = 5518;

// Ports: the eight parameters first, at their record index, then the audio
// inputs, the two outputs and (LV2 only) the latency report.
struct PortLayout {
  uint32_t inputs;  // 1 (the mono path) or 2

  static constexpr uint32_t AudioIn(uint32_t channel) { return kParamCount + channel; }
  constexpr uint32_t AudioOut(uint32_t channel) const { return kParamCount + inputs + channel; }
  constexpr uint32_t Latency() const { return kParamCount + inputs + 2; }
  constexpr uint32_t AudioPortCount() const { return inputs + 2; }
};

constexpr PortLayout kStereoLayout{2};
constexpr PortLayout kMonoLayout{1};

// The words of control `index` (record order).
struct ControlText {
  const char* symbol;  // a C identifier, for LV2 hosts and command lines
  const char* name;
};
extern const ControlText kControlText[kParamCount];

// Symbol and name of an audio port.
struct AudioPortText {
  const char* symbol;
  const char* name;
};
AudioPortText AudioInputText(const PortLayout& layout, uint32_t channel);
AudioPortText AudioOutputText(uint32_t channel);

}  // namespace sombrevox::plugins
