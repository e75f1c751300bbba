#pragma once
// The editor's arithmetic on the filter itself: ParamAccess over the filter's
// IReverbSettings, and the mapping operations as the controls call them.
// Every operation does nothing (or answers 0) for null settings.
#include <windows.h>

#include "ParamAccess.h"
#include "SombrevoxLight.h"

namespace sombrevox {

class SettingsAccess : public ParamAccess {
 public:
  // Borrows `settings` for the object's lifetime.
  explicit SettingsAccess(IReverbSettings* settings) : settings_(settings) {}
  double Get(int index) const override;
  void Set(int index, double value) override;
  // 0 while GetWaveFormat cannot report the output format.
  uint32_t OutputRate() const override;

 private:
  IReverbSettings* settings_;  // borrowed
};

void ApplyPosition(IReverbSettings* settings, int index, double position);
int32_t PositionFromValue(IReverbSettings* settings, int index);

}  // namespace sombrevox
