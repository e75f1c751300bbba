#include "OutputPinBase.h"

#include "InputPinBase.h"

namespace sombrevox {

using Microsoft::WRL::ComPtr;

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
  ComPtr<IMemInputPin> downstream;
  hr = peer->QueryInterface(IID_IMemInputPin, reinterpret_cast<void**>(downstream.GetAddressOf()));
  if (FAILED(hr)) {
    return hr;
  }
  downstream_ = downstream;
  return S_OK;
}

HRESULT OutputPinBase::BreakPeer() {
  allocator_.Reset();
  downstream_.Reset();
  return S_OK;
}

HRESULT OutputPinBase::CompletePeer(IPin*) {
  if (downstream_ == nullptr) {
    return E_UNEXPECTED;
  }
  return ChooseAllocator(downstream_.Get(), &allocator_);
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

HRESULT OutputPinBase::ChooseAllocator(IMemInputPin* downstream, ComPtr<IMemAllocator>* allocator) {
  allocator->Reset();
  ALLOCATOR_PROPERTIES requested = {};
  downstream->GetAllocatorRequirements(&requested);
  if (requested.cbAlign == 0) {
    requested.cbAlign = 1;
  }

  // The downstream pin's own allocator first, then a default one.
  HRESULT hr = E_FAIL;
  for (int attempt = 0; attempt < 2; ++attempt) {
    ComPtr<IMemAllocator> candidate;
    hr = attempt == 0 ? downstream->GetAllocator(candidate.GetAddressOf())
                      : CreateDefaultAllocator(candidate.GetAddressOf());
    if (SUCCEEDED(hr)) {
      hr = OfferAllocator(downstream, candidate.Get(), requested);
    }
    if (SUCCEEDED(hr)) {
      *allocator = candidate;
      return S_OK;
    }
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
