#include "MediaTypeEnumerator.h"

#include <new>

#include "PinBase.h"

namespace sombrevox {

MediaTypeEnumerator::MediaTypeEnumerator(PinBase* pin)
    : ComObjectBase(nullptr), pin_(pin), version_(pin->TypeListVersion()) {
  pin_->AddRef();
}

MediaTypeEnumerator::MediaTypeEnumerator(const MediaTypeEnumerator& other)
    : ComObjectBase(nullptr), pin_(other.pin_), position_(other.position_), version_(other.version_) {
  pin_->AddRef();
}

MediaTypeEnumerator::~MediaTypeEnumerator() { pin_->Release(); }

HRESULT STDMETHODCALLTYPE MediaTypeEnumerator::InnerQueryInterface(REFIID iid, void** object) {
  if (object != nullptr && iid == IID_IEnumMediaTypes) {
    return HandOutInterface(static_cast<IEnumMediaTypes*>(this), object);
  }
  return ComObjectBase::InnerQueryInterface(iid, object);
}

bool MediaTypeEnumerator::InSync() const { return pin_->TypeListVersion() == version_; }

HRESULT STDMETHODCALLTYPE MediaTypeEnumerator::Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched) {
  if (types == nullptr) {
    return E_POINTER;
  }
  if (!InSync()) {
    return VFW_E_ENUM_OUT_OF_SYNC;
  }
  if (fetched == nullptr && count > 1) {
    return E_INVALIDARG;
  }
  ULONG handedOut = 0;
  while (handedOut < count) {
    MediaType type;
    if (pin_->FormatAt(position_, &type) != S_OK) {
      break;
    }
    auto* given = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
    if (given == nullptr) {
      break;
    }
    // The format block now belongs to the caller.
    type.MoveTo(given);
    types[handedOut++] = given;
    ++position_;
  }
  if (fetched != nullptr) {
    *fetched = handedOut;
  }
  return handedOut == count ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE MediaTypeEnumerator::Skip(ULONG count) {
  if (!InSync()) {
    return VFW_E_ENUM_OUT_OF_SYNC;
  }
  if (count == 0) {
    return S_OK;
  }
  position_ += static_cast<int>(count);
  MediaType probe;
  return pin_->FormatAt(position_ - 1, &probe) == S_OK ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE MediaTypeEnumerator::Reset() {
  position_ = 0;
  version_ = pin_->TypeListVersion();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE MediaTypeEnumerator::Clone(IEnumMediaTypes** clone) {
  if (clone == nullptr) {
    return E_POINTER;
  }
  *clone = nullptr;
  if (!InSync()) {
    return VFW_E_ENUM_OUT_OF_SYNC;
  }
  auto* copy = new (std::nothrow) MediaTypeEnumerator(*this);
  if (copy == nullptr) {
    return E_OUTOFMEMORY;
  }
  return HandOutInterface(static_cast<IEnumMediaTypes*>(copy), reinterpret_cast<void**>(clone));
}

}  // namespace sombrevox
