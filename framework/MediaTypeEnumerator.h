#pragma once
// IEnumMediaTypes over a pin's proposals (its FormatAt). Holds a reference on
// the pin, and so on its filter.
#include <windows.h>
#include <dshow.h>

#include "ComObjectBase.h"

namespace sombrevox {

class PinBase;

class MediaTypeEnumerator final : public ComObjectBase, public IEnumMediaTypes {
 public:
  explicit MediaTypeEnumerator(PinBase* pin);
  MediaTypeEnumerator(const MediaTypeEnumerator& other);
  ~MediaTypeEnumerator() override;
  MediaTypeEnumerator& operator=(const MediaTypeEnumerator&) = delete;

  HRESULT STDMETHODCALLTYPE InnerQueryInterface(REFIID iid, void** object) override;
  SOMBREVOX_DELEGATE_IUNKNOWN

  HRESULT STDMETHODCALLTYPE Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched) override;
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
  HRESULT STDMETHODCALLTYPE Reset() override;
  HRESULT STDMETHODCALLTYPE Clone(IEnumMediaTypes** clone) override;

 private:
  bool InSync() const;

  PinBase* pin_;
  int position_ = 0;
  LONG version_;
};

}  // namespace sombrevox
