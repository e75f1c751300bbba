#include "OutputPinBase.h"

#include "InputPinBase.h"

namespace sombrevox {

OutputPinBase::OutputPinBase(FilterBase* filter, CriticalSection* lock, const wchar_t* name)
    : PinBase(filter, lock, PINDIR_OUTPUT, name) {}

OutputPinBase::~OutputPinBase() { OutputPinBase::BreakPeer(); }

HRESULT OutputPinBase::OnActive() { return allocator_ != nullptr ? allocator_->Commit() : VFW_E_NO_ALLOCATOR; }

HRESULT OutputPinBase::OnInactive() {
  runtimeError_ = false;
  return allocator_ != nullptr ? allocator_->Decommit() : VFW_E_NO_ALLOCATOR;
}

HRESULT OutputPinBase::CheckPeer(IPin* peer) {
  HRESULT hr = PinBase::CheckPeer(peer);
  if (FAILED(hr)) {
    return hr;
  }
  IMemInputPin* downstream = nullptr;
  hr = peer->QueryInterface(IID_IMemInputPin, reinterpret_cast<void**>(&downstream));
  if (FAILED(hr)) {
    return hr;
  }
  if (downstream_ != nullptr) {
    downstream_->Release();
  }
  downstream_ = downstream;
  return S_OK;
}

HRESULT OutputPinBase::BreakPeer() {
  if (allocator_ != nullptr) {
    allocator_->Release();
    allocator_ = nullptr;
  }
  if (downstream_ != nullptr) {
    downstream_->Release();
    downstream_ = nullptr;
  }
  return S_OK;
}

HRESULT OutputPinBase::CompletePeer(IPin*) {
  if (downstream_ == nullptr) {
    return E_UNEXPECTED;
  }
  return ChooseAllocator(downstream_, &allocator_);
}

HRESULT OutputPinBase::OfferAllocator(IMemInputPin* downstream, IMemAllocator* candidate,
                                      const ALLOCATOR_PROPERTIES& requested) {
  // Each try starts from the downstream pin's own request.
  ALLOCATOR_PROPERTIES properties = requested;
  HRESULT hr = SizeBuffers(candidate, &properties);
  if (SUCCEEDED(hr)) {
    hr = downstream->NotifyAllocator(candidate, FALSE);
  }
  return hr;
}

HRESULT OutputPinBase::ChooseAllocator(IMemInputPin* downstream, IMemAllocator** allocator) {
  *allocator = nullptr;
  ALLOCATOR_PROPERTIES requested = {};
  downstream->GetAllocatorRequirements(&requested);
  if (requested.cbAlign == 0) {
    requested.cbAlign = 1;
  }

  // The downstream pin's own allocator first, then a default one.
  IMemAllocator* candidate = nullptr;
  HRESULT hr = downstream->GetAllocator(&candidate);
  if (SUCCEEDED(hr)) {
    hr = OfferAllocator(downstream, candidate, requested);
    if (SUCCEEDED(hr)) {
      *allocator = candidate;
      return S_OK;
    }
  }
  if (candidate != nullptr) {
    candidate->Release();
    candidate = nullptr;
  }

  hr = CreateDefaultAllocator(&candidate);
  if (SUCCEEDED(hr)) {
    hr = OfferAllocator(downstream, candidate, requested);
    if (SUCCEEDED(hr)) {
      *allocator = candidate;
      return S_OK;
    }
  }
  if (candidate != nullptr) {
    candidate->Release();
  }
  return hr;
}

HRESULT OutputPinBase::GetOutputBuffer(IMediaSample** sample, REFERENCE_TIME* start, REFERENCE_TIME* stop,
                                       DWORD flags) {
  if (allocator_ == nullptr) {
    return E_NOINTERFACE;
  }
  return allocator_->GetBuffer(sample, start, stop, flags);
}

HRESULT OutputPinBase::DeliverSample(IMediaSample* sample) {
  if (downstream_ == nullptr) {
    return VFW_E_NOT_CONNECTED;
  }
  return downstream_->Receive(sample);
}

HRESULT OutputPinBase::CreateDefaultAllocator(IMemAllocator** allocator) { return CreateMemoryAllocator(allocator); }

HRESULT OutputPinBase::SendEndOfStream() {
  IPin* peer = Peer();
  return peer != nullptr ? peer->EndOfStream() : VFW_E_NOT_CONNECTED;
}

HRESULT OutputPinBase::SendBeginFlush() {
  IPin* peer = Peer();
  return peer != nullptr ? peer->BeginFlush() : VFW_E_NOT_CONNECTED;
}

HRESULT OutputPinBase::SendEndFlush() {
  IPin* peer = Peer();
  return peer != nullptr ? peer->EndFlush() : VFW_E_NOT_CONNECTED;
}

HRESULT OutputPinBase::SendNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
  IPin* peer = Peer();
  return peer != nullptr ? peer->NewSegment(start, stop, rate) : VFW_E_NOT_CONNECTED;
}

}  // namespace sombrevox
