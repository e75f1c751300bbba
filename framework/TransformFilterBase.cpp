#include "TransformFilterBase.h"

#include <new>

#include "TransformInputPin.h"
#include "TransformOutputPin.h"

namespace sombrevox {

TransformFilterBase::TransformFilterBase(IUnknown* outer, const CLSID& clsid)
    : FilterBase(outer, clsid, &filterLock_) {}

TransformFilterBase::~TransformFilterBase() = default;

bool TransformFilterBase::BothPinsConnected() const {
  return inputPin_ != nullptr && inputPin_->IsConnected() && outputPin_ != nullptr && outputPin_->IsConnected();
}

PinBase* TransformFilterBase::PinAt(int index) {
  CriticalSectionLock guard(filterLock_);
  if (inputPin_ == nullptr && outputPin_ == nullptr) {
    inputPin_.reset(MakeInputPin());
    if (inputPin_ != nullptr) {
      outputPin_.reset(MakeOutputPin());
    }
  }
  if (index == 0) {
    return inputPin_.get();
  }
  if (index == 1) {
    return outputPin_.get();
  }
  return nullptr;
}

HRESULT STDMETHODCALLTYPE TransformFilterBase::Stop() {
  CriticalSectionLock guard(filterLock_);
  if (state_ == State_Stopped) {
    return S_OK;
  }
  if (!BothPinsConnected()) {
    state_ = State_Stopped;
    endOfStreamDelivered_ = false;
    return S_OK;
  }
  // Decommitting the input allocator first releases an upstream thread
  // blocked in GetBuffer, so the sample in progress can finish.
  inputPin_->OnInactive();
  CriticalSectionLock streaming(receiveLock_);
  outputPin_->OnInactive();
  const HRESULT hr = OnStopStreaming();
  if (SUCCEEDED(hr)) {
    state_ = State_Stopped;
    endOfStreamDelivered_ = false;
  }
  return hr;
}

HRESULT STDMETHODCALLTYPE TransformFilterBase::Pause() {
  CriticalSectionLock guard(filterLock_);
  if (state_ == State_Paused) {
    return S_OK;
  }
  if (inputPin_ == nullptr || !inputPin_->IsConnected()) {
    // Nothing can ever arrive: tell downstream the stream is over, once
    // per run. An unconnected output pin's refusal does not matter.
    if (outputPin_ != nullptr && !endOfStreamDelivered_) {
      outputPin_->SendEndOfStream();
      endOfStreamDelivered_ = true;
    }
    state_ = State_Paused;
    return S_OK;
  }
  if (outputPin_ == nullptr || !outputPin_->IsConnected()) {
    state_ = State_Paused;
    return S_OK;
  }
  const bool starting = state_ == State_Stopped;
  if (starting) {
    CriticalSectionLock streaming(receiveLock_);
    const HRESULT hr = OnStartStreaming();
    if (FAILED(hr)) {
      return hr;
    }
  }
  const HRESULT hr = BasePause();
  if (FAILED(hr) && starting) {
    // The pins could not start: streaming never began, so undo its preparation.
    CriticalSectionLock streaming(receiveLock_);
    OnStopStreaming();
  }
  return hr;
}

int TransformFilterBase::PinCount() { return 2; }

HRESULT TransformFilterBase::OnStartStreaming() { return S_OK; }

HRESULT TransformFilterBase::OnStopStreaming() { return S_OK; }

HRESULT TransformFilterBase::OnQuality(const Quality&) { return S_FALSE; }

HRESULT TransformFilterBase::OnFormatSet(PIN_DIRECTION, const AM_MEDIA_TYPE*) { return S_OK; }

HRESULT TransformFilterBase::OnPinConnecting(PIN_DIRECTION, IPin*) { return S_OK; }

HRESULT TransformFilterBase::OnPinDisconnected(PIN_DIRECTION) { return S_OK; }

HRESULT TransformFilterBase::OnPinConnected(PIN_DIRECTION, IPin*) { return S_OK; }

HRESULT TransformFilterBase::OnInputTypeChanged(const AM_MEDIA_TYPE&) { return S_OK; }

TransformInputPin* TransformFilterBase::MakeInputPin() { return new (std::nothrow) TransformInputPin(this, L"Input"); }

TransformOutputPin* TransformFilterBase::MakeOutputPin() {
  return new (std::nothrow) TransformOutputPin(this, L"Output");
}

HRESULT TransformFilterBase::OnEndOfStream() { return S_OK; }

HRESULT TransformFilterBase::OnBeginFlush() { return outputPin_ != nullptr ? outputPin_->SendBeginFlush() : S_OK; }

HRESULT TransformFilterBase::OnEndFlush() { return outputPin_ != nullptr ? outputPin_->SendEndFlush() : S_OK; }

HRESULT TransformFilterBase::OnNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
  return outputPin_ != nullptr ? outputPin_->SendNewSegment(start, stop, rate) : S_OK;
}

}  // namespace sombrevox
