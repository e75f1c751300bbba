#pragma once
// What the editor's arithmetic needs of the filter: read and write one
// parameter, and the output sample rate. The controls give it the filter's
// IReverbSettings; the arithmetic itself stays free of the platform.
#include <cstdint>

namespace sombrevox {

class ParamAccess {
 public:
  // Field `index` (0..7, the order of ReverbParams).
  virtual double Get(int index) const = 0;
  // Writes field `index`; the filter clamps to the parameter's range.
  virtual void Set(int index, double value) = 0;
  // nSamplesPerSec of the output format; 0 while the filter cannot report one.
  virtual uint32_t OutputRate() const = 0;

 protected:
  ~ParamAccess() = default;
};

}  // namespace sombrevox
