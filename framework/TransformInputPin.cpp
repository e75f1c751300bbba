#include "TransformInputPin.h"

#include "TransformFilterBase.h"
#include "TransformOutputPin.h"

namespace sombrevox {

TransformInputPin::TransformInputPin(TransformFilterBase* filter, const wchar_t* name)
    : InputPinBase(filter, &filter->FilterLock(), name), transformFilter_(filter) {}

HRESULT STDMETHODCALLTYPE TransformInputPin::Receive(IMediaSample* sample) {
  CriticalSectionLock streaming(transformFilter_->ReceiveLock());
  const HRESULT hr = CheckReceivedSample(sample);
  if (hr != S_OK) {
    return hr;
  }
  // An accepted in-band type change: the filter follows it from this sample
  // on, or the stream ends here.
  if (const AM_MEDIA_TYPE* changed = ChangedSampleType()) {
    if (FAILED(transformFilter_->OnInputTypeChanged(*changed))) {
      return RefuseStream();
    }
    ReplaceType(*changed);
  }
  return transformFilter_->ReceiveSample(sample);
}

HRESULT STDMETHODCALLTYPE TransformInputPin::EndOfStream() {
  CriticalSectionLock streaming(transformFilter_->ReceiveLock());
  const HRESULT hr = CheckStreamingState();
  if (hr != S_OK) {
    return hr;
  }
  return transformFilter_->OnEndOfStream();
}

// Flushes take FilterLock only, so a flush can begin while a sample is being processed.
HRESULT STDMETHODCALLTYPE TransformInputPin::BeginFlush() {
  CriticalSectionLock guard(*lock_);
  TransformOutputPin* output = transformFilter_->OutputPin();
  if (!IsConnected() || output == nullptr || !output->IsConnected()) {
    return VFW_E_NOT_CONNECTED;
  }
  flushing_ = true;
  return transformFilter_->OnBeginFlush();
}

HRESULT STDMETHODCALLTYPE TransformInputPin::EndFlush() {
  CriticalSectionLock guard(*lock_);
  TransformOutputPin* output = transformFilter_->OutputPin();
  if (!IsConnected() || output == nullptr || !output->IsConnected()) {
    return VFW_E_NOT_CONNECTED;
  }
  const HRESULT hr = transformFilter_->OnEndFlush();
  if (SUCCEEDED(hr)) {
    flushing_ = false;
  }
  return hr;
}

HRESULT STDMETHODCALLTYPE TransformInputPin::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
  PinBase::NewSegment(start, stop, rate);
  return transformFilter_->OnNewSegment(start, stop, rate);
}

HRESULT TransformInputPin::CheckFormat(const AM_MEDIA_TYPE* type) {
  const HRESULT hr = transformFilter_->CheckInputFormat(type);
  if (hr != S_OK) {
    return hr;
  }
  TransformOutputPin* output = transformFilter_->OutputPin();
  if (output != nullptr && output->IsConnected()) {
    const MediaType outputType = output->CurrentType();
    return transformFilter_->CheckFormatPair(type, &outputType);
  }
  return S_OK;
}

HRESULT TransformInputPin::SetFormat(const AM_MEDIA_TYPE* type) {
  PinBase::SetFormat(type);
  transformFilter_->OnFormatSet(PINDIR_INPUT, type);
  return S_OK;
}

HRESULT TransformInputPin::CheckPeer(IPin* peer) {
  const HRESULT hr = transformFilter_->OnPinConnecting(PINDIR_INPUT, peer);
  if (FAILED(hr)) {
    return hr;
  }
  return InputPinBase::CheckPeer(peer);
}

HRESULT TransformInputPin::BreakPeer() {
  transformFilter_->OnPinDisconnected(PINDIR_INPUT);
  return S_OK;
}

HRESULT TransformInputPin::CompletePeer(IPin* peer) {
  const HRESULT hr = transformFilter_->OnPinConnected(PINDIR_INPUT, peer);
  return FAILED(hr) ? hr : S_OK;
}

HRESULT TransformInputPin::FormatAt(int, MediaType*) { return E_UNEXPECTED; }

HRESULT TransformInputPin::CheckStreamingState() {
  TransformOutputPin* output = transformFilter_->OutputPin();
  if (output == nullptr || !output->IsConnected()) {
    return VFW_E_NOT_CONNECTED;
  }
  return InputPinBase::CheckStreamingState();
}

}  // namespace sombrevox
