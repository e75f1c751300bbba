#include "PresetTransfer.h"

#include <mmreg.h>

#include "ParameterMapping.h"

namespace sombrevox {
namespace {

// The editor's low-pass ceiling for the output rate: the top of the range
// while the output is not connected, so nothing is lowered beyond the
// filter's own clamp.
double OutputCeiling(IReverbSettings* settings) {
  WAVEFORMATEX output{};
  const uint32_t rate = SUCCEEDED(settings->GetWaveFormat(&output, 1)) ? output.nSamplesPerSec : 0;
  return LowpassMappingCeiling(rate);
}

}  // namespace

void CapturePreset(Preset& record, std::string_view name, IReverbSettings* settings) noexcept {
  SetPresetName(record, name);
  if (settings == nullptr) return;
  ReverbParams& p = record.params;
  settings->GetPredelay(&p.predelayMs);
  settings->GetRoomSize(&p.roomSize);
  settings->GetLowpass(&p.lowpassHz);
  settings->GetDiffusion(&p.diffusion);
  settings->GetDecay(&p.decayMs);
  settings->GetDamping(&p.damping);
  settings->GetMix(&p.mix);
  settings->GetLevel(&p.levelDb);
}

void ApplyPreset(const Preset& record, IReverbSettings* settings, HWND pageWindow) noexcept {
  if (settings == nullptr) return;
  const ReverbParams& p = record.params;
  settings->SetPredelay(p.predelayMs);
  settings->SetRoomSize(p.roomSize);
  const double ceiling = OutputCeiling(settings);
  settings->SetLowpass(ceiling < p.lowpassHz ? ceiling : p.lowpassHz);
  settings->SetDiffusion(p.diffusion);
  settings->SetDecay(p.decayMs);
  settings->SetDamping(p.damping);
  settings->SetMix(p.mix);
  settings->SetLevel(p.levelDb);
  if (pageWindow != nullptr && IsWindow(pageWindow)) PostMessageA(pageWindow, WM_REVERB_PRESET_SELECTED, 0, 0);
}

}  // namespace sombrevox
