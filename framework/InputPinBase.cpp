#include "InputPinBase.h"

#include <evcode.h>
#include <wrl/client.h>

#include "FilterBase.h"

namespace sombrevox {

using Microsoft::WRL::ComPtr;

HRESULT CreateMemoryAllocator(IMemAllocator** allocator) {
  return CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_IMemAllocator,
                          reinterpret_cast<void**>(allocator));
}

InputPinBase::InputPinBase(FilterBase* filter, CriticalSection* lock, const wchar_t* name)
    : PinBase(filter, lock, PINDIR_INPUT, name) {}

InputPinBase::~InputPinBase() { FreeSampleType(); }

HRESULT STDMETHODCALLTYPE InputPinBase::InnerQueryInterface(REFIID iid, void** object) {
  if (object != nullptr && iid == IID_IMemInputPin) {
    return HandOutInterface(static_cast<IMemInputPin*>(this), object);
  }
  return PinBase::InnerQueryInterface(iid, object);
}

HRESULT STDMETHODCALLTYPE InputPinBase::QueryInterface(REFIID iid, void** object) {
  return PinBase::QueryInterface(iid, object);
}

ULONG STDMETHODCALLTYPE InputPinBase::AddRef() { return PinBase::AddRef(); }

ULONG STDMETHODCALLTYPE InputPinBase::Release() { return PinBase::Release(); }

HRESULT STDMETHODCALLTYPE InputPinBase::Disconnect() {
  CriticalSectionLock guard(*lock_);
  const HRESULT hr = PinBase::Disconnect();
  if (hr == S_OK) {
    allocator_.Reset();
  }
  return hr;
}

HRESULT STDMETHODCALLTYPE InputPinBase::GetAllocator(IMemAllocator** allocator) {
  if (allocator == nullptr) {
    return E_POINTER;
  }
  CriticalSectionLock guard(*lock_);
  if (allocator_ == nullptr) {
    const HRESULT hr = CreateMemoryAllocator(allocator_.GetAddressOf());
    if (FAILED(hr)) {
      *allocator = nullptr;
      return hr;
    }
  }
  return allocator_.CopyTo(allocator);
}

HRESULT STDMETHODCALLTYPE InputPinBase::NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) {
  if (allocator == nullptr) {
    return E_POINTER;
  }
  CriticalSectionLock guard(*lock_);
  allocator_ = allocator;
  readOnly_ = readOnly != FALSE;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE InputPinBase::GetAllocatorRequirements(ALLOCATOR_PROPERTIES*) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE InputPinBase::Receive(IMediaSample* sample) { return CheckReceivedSample(sample); }

HRESULT STDMETHODCALLTYPE InputPinBase::ReceiveMultiple(IMediaSample** samples, LONG count, LONG* processed) {
  if (samples == nullptr || processed == nullptr) {
    return E_POINTER;
  }
  *processed = 0;
  for (LONG index = 0; index < count; ++index) {
    const HRESULT hr = Receive(samples[index]);
    if (hr != S_OK) {
      return hr;
    }
    ++*processed;
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE InputPinBase::ReceiveCanBlock() {
  FilterBase* filter = Filter();
  int connectedOutputs = 0;
  for (int index = 0; index < filter->PinCount(); ++index) {
    PinBase* pin = filter->PinAt(index);
    if (pin == nullptr) {
      continue;
    }
    PIN_DIRECTION direction = PINDIR_INPUT;
    const HRESULT hr = pin->QueryDirection(&direction);
    if (FAILED(hr)) {
      return hr;
    }
    if (direction != PINDIR_OUTPUT || pin->Peer() == nullptr) {
      continue;
    }
    ++connectedOutputs;
    ComPtr<IMemInputPin> downstream;
    if (FAILED(pin->Peer()->QueryInterface(IID_IMemInputPin, reinterpret_cast<void**>(downstream.GetAddressOf())))) {
      return S_OK;
    }
    if (downstream->ReceiveCanBlock() != S_FALSE) {
      return S_OK;
    }
  }
  return connectedOutputs > 0 ? S_FALSE : S_OK;
}

HRESULT STDMETHODCALLTYPE InputPinBase::Notify(IBaseFilter* sender, Quality) {
  return sender == nullptr ? E_POINTER : S_OK;
}

HRESULT InputPinBase::OnInactive() {
  runtimeError_ = false;
  flushing_ = false;
  if (allocator_ == nullptr) {
    return VFW_E_NO_ALLOCATOR;
  }
  // Releases an upstream thread waiting in GetBuffer.
  return allocator_->Decommit();
}

HRESULT InputPinBase::CheckStreamingState() {
  if (flushing_) {
    return S_FALSE;
  }
  if (Filter()->State() == State_Stopped) {
    return VFW_E_WRONG_STATE;
  }
  if (runtimeError_) {
    return VFW_E_RUNTIME_ERROR;
  }
  return S_OK;
}

HRESULT InputPinBase::PassQualityUpstream(const Quality& quality) {
  IBaseFilter* filter = static_cast<IBaseFilter*>(Filter());
  if (qualitySink_ != nullptr) {
    return qualitySink_->Notify(filter, quality);
  }
  ComPtr<IPin> peer = peer_;
  if (peer != nullptr) {
    ComPtr<IQualityControl> upstream;
    if (SUCCEEDED(peer.As(&upstream))) {
      return upstream->Notify(filter, quality);
    }
  }
  return VFW_E_NOT_FOUND;
}

void InputPinBase::FreeSampleType() {
  if (ownedSampleType_ != nullptr) {
    MediaType::DeleteTaskType(ownedSampleType_);
    ownedSampleType_ = nullptr;
  }
}

HRESULT InputPinBase::ReadSampleProperties(IMediaSample* sample) {
  FreeSampleType();
  AM_SAMPLE2_PROPERTIES& properties = latestSampleProperties_;
  ComPtr<IMediaSample2> sample2;
  if (SUCCEEDED(sample->QueryInterface(IID_IMediaSample2, reinterpret_cast<void**>(sample2.GetAddressOf())))) {
    return sample2->GetProperties(sizeof(properties), reinterpret_cast<BYTE*>(&properties));
  }
  properties = {};
  properties.cbData = sizeof(properties);
  if (sample->IsDiscontinuity() == S_OK) {
    properties.dwSampleFlags |= AM_SAMPLE_DATADISCONTINUITY;
  }
  if (sample->IsPreroll() == S_OK) {
    properties.dwSampleFlags |= AM_SAMPLE_PREROLL;
  }
  if (sample->IsSyncPoint() == S_OK) {
    properties.dwSampleFlags |= AM_SAMPLE_SPLICEPOINT;
  }
  if (SUCCEEDED(sample->GetTime(&properties.tStart, &properties.tStop))) {
    properties.dwSampleFlags |= AM_SAMPLE_TIMEVALID | AM_SAMPLE_STOPVALID;
  }
  AM_MEDIA_TYPE* type = nullptr;
  if (sample->GetMediaType(&type) == S_OK && type != nullptr) {
    properties.dwSampleFlags |= AM_SAMPLE_TYPECHANGED;
    properties.pMediaType = type;
    ownedSampleType_ = type;
  }
  sample->GetPointer(&properties.pbBuffer);
  properties.lActual = sample->GetActualDataLength();
  properties.cbBuffer = sample->GetSize();
  return S_OK;
}

HRESULT InputPinBase::CheckReceivedSample(IMediaSample* sample) {
  if (sample == nullptr) {
    return E_POINTER;
  }
  HRESULT hr = CheckStreamingState();
  if (hr != S_OK) {
    return hr;
  }
  hr = ReadSampleProperties(sample);
  if (FAILED(hr)) {
    return hr;
  }
  const AM_MEDIA_TYPE* changed = ChangedSampleType();
  if (changed != nullptr && CheckFormat(changed) != S_OK) {
    return RefuseStream();
  }
  return S_OK;
}

const AM_MEDIA_TYPE* InputPinBase::ChangedSampleType() const {
  const AM_SAMPLE2_PROPERTIES& properties = latestSampleProperties_;
  return (properties.dwSampleFlags & AM_SAMPLE_TYPECHANGED) != 0 ? properties.pMediaType : nullptr;
}

HRESULT InputPinBase::RefuseStream() {
  runtimeError_ = true;
  // The pin's own end of stream, which the flag answers with
  // VFW_E_RUNTIME_ERROR: nothing more goes downstream.
  EndOfStream();
  Filter()->NotifyGraphEvent(EC_ERRORABORT, VFW_E_TYPE_NOT_ACCEPTED, 0);
  return VFW_E_INVALIDMEDIATYPE;
}

}  // namespace sombrevox
