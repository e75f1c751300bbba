#include "ReverbInputPin.h"

#include "AudioMediaType.h"
#include "ReverbFilter.h"
#include "TransformOutputPin.h"

namespace sombrevox {

ReverbInputPin::ReverbInputPin(ReverbFilter* filter, const wchar_t* name)
    : TransformInputPin(filter, name), reverbFilter_(filter) {}

HRESULT ReverbInputPin::CheckFormat(const AM_MEDIA_TYPE* type) {
  const HRESULT hr = reverbFilter_->CheckInputFormat(type);
  if (hr != S_OK) return hr;
  TransformOutputPin* output = reverbFilter_->OutputPin();
  if (!output || !output->IsConnected()) return S_OK;
  const MediaType outputType = output->CurrentType();
  if (reverbFilter_->CheckFormatPair(type, &outputType) == S_OK) return S_OK;
  // The output type will have to follow: ask downstream about it now.
  const MediaType stereo = StereoOf(*type);
  return output->Peer()->QueryAccept(&stereo);
}

}  // namespace sombrevox
