#include "PinEnumerator.h"

#include <algorithm>
#include <new>

#include "FilterBase.h"
#include "PinBase.h"

namespace sombrevox {

PinEnumerator::PinEnumerator(FilterBase* filter) : ComObjectBase(nullptr), filter_(filter) {
  filter_->AddRef();
  Resynchronise();
}

PinEnumerator::PinEnumerator(const PinEnumerator& other)
    : ComObjectBase(nullptr),
      filter_(other.filter_),
      position_(other.position_),
      pinCount_(other.pinCount_),
      version_(other.version_),
      returnedCount_(other.returnedCount_) {
  std::copy(other.returnedPins_, other.returnedPins_ + returnedCount_, returnedPins_);
  filter_->AddRef();
}

PinEnumerator::~PinEnumerator() { filter_->Release(); }

HRESULT STDMETHODCALLTYPE PinEnumerator::InnerQueryInterface(REFIID iid, void** object) {
  if (object != nullptr && iid == IID_IEnumPins) {
    return HandOutInterface(static_cast<IEnumPins*>(this), object);
  }
  return ComObjectBase::InnerQueryInterface(iid, object);
}

bool PinEnumerator::AlreadyReturned(const PinBase* pin) const {
  return std::find(returnedPins_, returnedPins_ + returnedCount_, pin) != returnedPins_ + returnedCount_;
}

bool PinEnumerator::InSync() const { return filter_->PinListVersion() == version_; }

void PinEnumerator::Resynchronise() {
  pinCount_ = filter_->PinCount();
  version_ = filter_->PinListVersion();
}

HRESULT STDMETHODCALLTYPE PinEnumerator::Next(ULONG count, IPin** pins, ULONG* fetched) {
  if (pins == nullptr) {
    return E_POINTER;
  }
  if (fetched == nullptr && count > 1) {
    return E_INVALIDARG;
  }
  if (fetched != nullptr) {
    *fetched = 0;
  }
  if (!InSync()) {
    // The returned-pin list survives the refresh on purpose.
    position_ = 0;
    Resynchronise();
  }
  ULONG handedOut = 0;
  while (handedOut < count && position_ < pinCount_) {
    PinBase* pin = filter_->PinAt(position_);
    if (pin == nullptr) {
      // Give back what this call handed out: the caller sees a failure.
      while (handedOut > 0) {
        pins[--handedOut]->Release();
        pins[handedOut] = nullptr;
      }
      return VFW_E_ENUM_OUT_OF_SYNC;
    }
    ++position_;
    if (AlreadyReturned(pin)) {
      continue;
    }
    if (returnedCount_ < kRememberedPins) {
      returnedPins_[returnedCount_++] = pin;
    }
    pins[handedOut] = static_cast<IPin*>(pin);
    pins[handedOut]->AddRef();
    ++handedOut;
  }
  if (fetched != nullptr) {
    *fetched = handedOut;
  }
  return handedOut == count ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE PinEnumerator::Skip(ULONG count) {
  if (!InSync()) {
    return VFW_E_ENUM_OUT_OF_SYNC;
  }
  if (count > static_cast<ULONG>(pinCount_ - position_)) {
    return S_FALSE;
  }
  position_ += static_cast<int>(count);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE PinEnumerator::Reset() {
  Resynchronise();
  position_ = 0;
  returnedCount_ = 0;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE PinEnumerator::Clone(IEnumPins** clone) {
  if (clone == nullptr) {
    return E_POINTER;
  }
  *clone = nullptr;
  if (!InSync()) {
    return VFW_E_ENUM_OUT_OF_SYNC;
  }
  auto* copy = new (std::nothrow) PinEnumerator(*this);
  if (copy == nullptr) {
    return E_OUTOFMEMORY;
  }
  return HandOutInterface(static_cast<IEnumPins*>(copy), reinterpret_cast<void**>(clone));
}

}  // namespace sombrevox
