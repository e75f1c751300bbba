#include "TransformOutputPin.h"

#include <uuids.h>

#include <wrl/client.h>

#include "TransformFilterBase.h"
#include "TransformInputPin.h"

namespace sombrevox {

using Microsoft::WRL::ComPtr;

TransformOutputPin::TransformOutputPin(TransformFilterBase* filter, const wchar_t* name)
    : OutputPinBase(filter, &filter->FilterLock(), name), transformFilter_(filter) {}

HRESULT STDMETHODCALLTYPE TransformOutputPin::InnerQueryInterface(REFIID iid, void** object) {
  if (object != nullptr && (iid == IID_IMediaPosition || iid == IID_IMediaSeeking)) {
    *object = nullptr;
    CriticalSectionLock guard(seekingLock_);
    if (seekingPassThrough_ == nullptr) {
      const HRESULT hr = CreateSeekingPassThrough();
      if (FAILED(hr)) {
        return hr;
      }
    }
    return seekingPassThrough_->QueryInterface(iid, object);
  }
  return OutputPinBase::InnerQueryInterface(iid, object);
}

// Seeking and position requests on this pin go to the filter upstream of the
// input pin.
HRESULT TransformOutputPin::CreateSeekingPassThrough() {
  ComPtr<IUnknown> passThrough;
  HRESULT hr = CoCreateInstance(CLSID_SeekingPassThru, OuterUnknown(), CLSCTX_INPROC_SERVER, IID_IUnknown,
                                reinterpret_cast<void**>(passThrough.GetAddressOf()));
  if (FAILED(hr)) {
    return hr;
  }
  ComPtr<ISeekingPassThru> init;
  hr = passThrough->QueryInterface(IID_ISeekingPassThru, reinterpret_cast<void**>(init.GetAddressOf()));
  if (SUCCEEDED(hr)) {
    hr = init->Init(FALSE, static_cast<IPin*>(transformFilter_->InputPin()));
  }
  if (FAILED(hr)) {
    return hr;
  }
  seekingPassThrough_ = passThrough;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TransformOutputPin::Notify(IBaseFilter*, Quality quality) {
  const HRESULT hr = transformFilter_->OnQuality(quality);
  if (hr != S_FALSE) {
    return hr;
  }
  TransformInputPin* input = transformFilter_->InputPin();
  return input != nullptr ? input->PassQualityUpstream(quality) : VFW_E_NOT_FOUND;
}

HRESULT TransformOutputPin::CheckFormat(const AM_MEDIA_TYPE* type) {
  TransformInputPin* input = transformFilter_->InputPin();
  if (input == nullptr || !input->IsConnected()) {
    return E_INVALIDARG;
  }
  const MediaType inputType = input->CurrentType();
  return transformFilter_->CheckFormatPair(&inputType, type);
}

HRESULT TransformOutputPin::SetFormat(const AM_MEDIA_TYPE* type) {
  PinBase::SetFormat(type);
  transformFilter_->OnFormatSet(PINDIR_OUTPUT, type);
  return S_OK;
}

HRESULT TransformOutputPin::CheckPeer(IPin* peer) {
  TransformInputPin* input = transformFilter_->InputPin();
  if (input == nullptr || !input->IsConnected()) {
    return E_UNEXPECTED;
  }
  const HRESULT hr = transformFilter_->OnPinConnecting(PINDIR_OUTPUT, peer);
  if (FAILED(hr)) {
    return hr;
  }
  return OutputPinBase::CheckPeer(peer);
}

HRESULT TransformOutputPin::BreakPeer() {
  transformFilter_->OnPinDisconnected(PINDIR_OUTPUT);
  return OutputPinBase::BreakPeer();
}

HRESULT TransformOutputPin::CompletePeer(IPin* peer) {
  const HRESULT hr = transformFilter_->OnPinConnected(PINDIR_OUTPUT, peer);
  if (FAILED(hr)) {
    return hr;
  }
  return OutputPinBase::CompletePeer(peer);
}

HRESULT TransformOutputPin::FormatAt(int index, MediaType* type) {
  CriticalSectionLock guard(*lock_);
  TransformInputPin* input = transformFilter_->InputPin();
  if (input == nullptr || !input->IsConnected()) {
    return VFW_S_NO_MORE_ITEMS;
  }
  return transformFilter_->OutputFormatAt(index, type);
}

HRESULT TransformOutputPin::SizeBuffers(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* properties) {
  return transformFilter_->SizeOutputBuffers(allocator, properties);
}

}  // namespace sombrevox
