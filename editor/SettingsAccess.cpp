#include "SettingsAccess.h"

#include "ParameterMapping.h"
#include "ReverbParams.h"

namespace sombrevox {

namespace {

// The interface's read-one and write-one operations in parameter order.
using Getter = HRESULT (STDMETHODCALLTYPE IReverbSettings::*)(double*);
using Setter = HRESULT (STDMETHODCALLTYPE IReverbSettings::*)(double);
constexpr Getter kGetters[kParamCount] = {&IReverbSettings::GetPredelay, &IReverbSettings::GetRoomSize,
                                          &IReverbSettings::GetLowpass,  &IReverbSettings::GetDiffusion,
                                          &IReverbSettings::GetDecay,    &IReverbSettings::GetDamping,
                                          &IReverbSettings::GetMix,      &IReverbSettings::GetLevel};
constexpr Setter kSetters[kParamCount] = {&IReverbSettings::SetPredelay, &IReverbSettings::SetRoomSize,
                                          &IReverbSettings::SetLowpass,  &IReverbSettings::SetDiffusion,
                                          &IReverbSettings::SetDecay,    &IReverbSettings::SetDamping,
                                          &IReverbSettings::SetMix,      &IReverbSettings::SetLevel};

bool IsParam(int index) { return index >= 0 && index < kParamCount; }

}  // namespace

double SettingsAccess::Get(int index) const {
  double value = 0.0;
  if (IsParam(index)) (settings_->*kGetters[index])(&value);
  return value;
}

void SettingsAccess::Set(int index, double value) {
  if (IsParam(index)) (settings_->*kSetters[index])(value);
}

uint32_t SettingsAccess::OutputRate() const {
  WAVEFORMATEX format{};
  if (FAILED(settings_->GetWaveFormat(&format, 1))) return 0;
  return format.nSamplesPerSec;
}

void ApplyPosition(IReverbSettings* settings, int index, double position) {
  if (!settings) return;
  SettingsAccess access(settings);
  ApplyPosition(access, index, position);
}

int32_t PositionFromValue(IReverbSettings* settings, int index) {
  if (!settings) return 0;
  return PositionFromValue(SettingsAccess(settings), index);
}

}  // namespace sombrevox
