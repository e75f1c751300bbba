#pragma once
// The filter's input pin: lets upstream change the input type while the
// output stays connected, as long as downstream takes the matching stereo type.
#include "TransformInputPin.h"

namespace sombrevox {

class ReverbFilter;

class ReverbInputPin : public TransformInputPin {
 public:
  ReverbInputPin(ReverbFilter* filter, const wchar_t* name);
  HRESULT CheckFormat(const AM_MEDIA_TYPE* type) override;

 private:
  ReverbFilter* reverbFilter_;
};

}  // namespace sombrevox
