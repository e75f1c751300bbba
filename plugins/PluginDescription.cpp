#include "PluginDescription.h"

namespace sombrevox::plugins {

const ControlText kControlText[kParamCount] = {
    {"predelay", "Pre-delay"},
    {"size", "Room size"},
    {"lowpass", "Low-pass cut-off"},
    {"diffusion", "Diffusion"},
    {"decay", "Decay"},
    {"damping", "Damping"},
    {"mix", "Mix"},
    {"level", "Level"},
};

AudioPortText AudioInputText(const PortLayout& layout, uint32_t channel) {
  if (layout.inputs == 1) return {"in", "In"};
  return channel == 0 ? AudioPortText{"in_l", "Left in"} : AudioPortText{"in_r", "Right in"};
}

AudioPortText AudioOutputText(uint32_t channel) {
  return channel == 0 ? AudioPortText{"out_l", "Left out"} : AudioPortText{"out_r", "Right out"};
}

}  // namespace sombrevox::plugins
