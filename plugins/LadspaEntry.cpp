// The LADSPA entry point: the stereo and the mono plugin of the LV2 bundle,
// for hosts such as sox, with the eight parameters as control ports in
// record order (a LADSPA host takes them as its control arguments).
#include <ladspa.h>

#include <cstdio>

#include "PluginDescription.h"
#include "ReverbPlugin.h"

namespace sombrevox::plugins {
namespace {

constexpr unsigned long kMaxPorts = kParamCount + 4;

using InstantiateFunction = LADSPA_Handle (*)(const LADSPA_Descriptor*, unsigned long);

ReverbPlugin* Instance(LADSPA_Handle handle) { return static_cast<ReverbPlugin*>(handle); }

LADSPA_Handle InstantiateStereo(const LADSPA_Descriptor*, unsigned long rate) {
  return ReverbPlugin::Create(static_cast<double>(rate), kStereoLayout);
}
LADSPA_Handle InstantiateMono(const LADSPA_Descriptor*, unsigned long rate) {
  return ReverbPlugin::Create(static_cast<double>(rate), kMonoLayout);
}
void ConnectPort(LADSPA_Handle h, unsigned long port, LADSPA_Data* data) {
  Instance(h)->ConnectPort(static_cast<uint32_t>(port), data);
}
void Activate(LADSPA_Handle h) { Instance(h)->Activate(); }
void Run(LADSPA_Handle h, unsigned long frames) { Instance(h)->Run(static_cast<uint32_t>(frames)); }
void Deactivate(LADSPA_Handle h) { Instance(h)->Deactivate(); }
void Cleanup(LADSPA_Handle h) { delete Instance(h); }

// LADSPA states a default only as one of a few points of the range; a
// parameter whose default is none of them has no default hint.
LADSPA_PortRangeHintDescriptor DefaultHint(const ParamRange& r) {
  const double v = r.initial;
  if (v == r.lower) return LADSPA_HINT_DEFAULT_MINIMUM;
  if (v == r.upper) return LADSPA_HINT_DEFAULT_MAXIMUM;
  if (v == 0.0) return LADSPA_HINT_DEFAULT_0;
  if (v == 1.0) return LADSPA_HINT_DEFAULT_1;
  if (v == 0.5 * r.lower + 0.5 * r.upper) return LADSPA_HINT_DEFAULT_MIDDLE;
  return LADSPA_HINT_DEFAULT_NONE;
}

// One plugin's descriptor with the arrays it points into.
struct LadspaPlugin {
  LADSPA_Descriptor descriptor{};
  LADSPA_PortDescriptor kinds[kMaxPorts] = {};
  const char* names[kMaxPorts] = {};
  LADSPA_PortRangeHint hints[kMaxPorts] = {};
  char controlNames[kParamCount][48] = {};

  LadspaPlugin(const PortLayout& layout, unsigned long id, const char* label, const char* name,
               InstantiateFunction instantiate) {
    for (int i = 0; i < kParamCount; ++i) {
      const ParamRange& range = kParamRanges[i];
      if (range.unit[0])
        std::snprintf(controlNames[i], sizeof controlNames[i], "%s (%s)", kControlText[i].name, range.unit);
      else
        std::snprintf(controlNames[i], sizeof controlNames[i], "%s", kControlText[i].name);
      kinds[i] = LADSPA_PORT_INPUT | LADSPA_PORT_CONTROL;
      names[i] = controlNames[i];
      hints[i] = {LADSPA_HINT_BOUNDED_BELOW | LADSPA_HINT_BOUNDED_ABOVE | DefaultHint(range),
                  static_cast<LADSPA_Data>(range.lower), static_cast<LADSPA_Data>(range.upper)};
    }
    for (uint32_t c = 0; c < layout.inputs; ++c) {
      kinds[PortLayout::AudioIn(c)] = LADSPA_PORT_INPUT | LADSPA_PORT_AUDIO;
      names[PortLayout::AudioIn(c)] = AudioInputText(layout, c).name;
    }
    for (uint32_t c = 0; c < 2; ++c) {
      kinds[layout.AudioOut(c)] = LADSPA_PORT_OUTPUT | LADSPA_PORT_AUDIO;
      names[layout.AudioOut(c)] = AudioOutputText(c).name;
    }
    LADSPA_Descriptor& d = descriptor;
    d.UniqueID = id;
    d.Label = label;
    d.Properties = LADSPA_PROPERTY_HARD_RT_CAPABLE;
    d.Name = name;
    d.Maker = kMaker;
    d.Copyright = kMaker;
    d.PortCount = kParamCount + layout.AudioPortCount();
    d.PortDescriptors = kinds;
    d.PortNames = names;
    d.PortRangeHints = hints;
    d.instantiate = instantiate;
    d.connect_port = ConnectPort;
    d.activate = Activate;
    d.run = Run;
    d.deactivate = Deactivate;
    d.cleanup = Cleanup;
  }
};

const LADSPA_Descriptor* Descriptor(unsigned long index) {
  static const LadspaPlugin stereo(kStereoLayout, kLadspaStereoId, kLadspaStereoLabel, kPluginName, InstantiateStereo);
  static const LadspaPlugin mono(kMonoLayout, kLadspaMonoId, kLadspaMonoLabel, kMonoPluginName, InstantiateMono);
  if (index == 0) return &stereo.descriptor;
  if (index == 1) return &mono.descriptor;
  return nullptr;
}

}  // namespace
}  // namespace sombrevox::plugins

extern "C" __attribute__((visibility("default"))) const LADSPA_Descriptor* ladspa_descriptor(unsigned long index) {
  return sombrevox::plugins::Descriptor(index);
}
