// The LV2 entry point: two plugins in one bundle, the stereo path and the
// mono path, over the same instance code.
#include <lv2/core/lv2.h>

#include "PluginDescription.h"
#include "ReverbPlugin.h"

namespace sombrevox::plugins {
namespace {

ReverbPlugin* Instance(LV2_Handle handle) { return static_cast<ReverbPlugin*>(handle); }

LV2_Handle InstantiateStereo(const LV2_Descriptor*, double rate, const char*, const LV2_Feature* const*) {
  return ReverbPlugin::Create(rate, kStereoLayout);
}
LV2_Handle InstantiateMono(const LV2_Descriptor*, double rate, const char*, const LV2_Feature* const*) {
  return ReverbPlugin::Create(rate, kMonoLayout);
}
void ConnectPort(LV2_Handle h, uint32_t port, void* data) { Instance(h)->ConnectPort(port, static_cast<float*>(data)); }
void Activate(LV2_Handle h) { Instance(h)->Activate(); }
void Run(LV2_Handle h, uint32_t frames) { Instance(h)->Run(frames); }
void Deactivate(LV2_Handle h) { Instance(h)->Deactivate(); }
void Cleanup(LV2_Handle h) { delete Instance(h); }
const void* ExtensionData(const char*) { return nullptr; }

const LV2_Descriptor kDescriptors[] = {
    {kStereoUri, InstantiateStereo, ConnectPort, Activate, Run, Deactivate, Cleanup, ExtensionData},
    {kMonoUri, InstantiateMono, ConnectPort, Activate, Run, Deactivate, Cleanup, ExtensionData},
};

}  // namespace
}  // namespace sombrevox::plugins

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
  using sombrevox::plugins::kDescriptors;
  return index < sizeof kDescriptors / sizeof kDescriptors[0] ? &kDescriptors[index] : nullptr;
}
