#pragma once
// IEnumPins over a filter's pins. Holds a reference on the filter.
#include <windows.h>
#include <dshow.h>

#include "ComObjectBase.h"

namespace sombrevox {

class FilterBase;
class PinBase;

class PinEnumerator final : public ComObjectBase, public IEnumPins {
 public:
  explicit PinEnumerator(FilterBase* filter);
  PinEnumerator(const PinEnumerator& other);
  ~PinEnumerator() override;
  PinEnumerator& operator=(const PinEnumerator&) = delete;

  HRESULT STDMETHODCALLTYPE InnerQueryInterface(REFIID iid, void** object) override;
  SOMBREVOX_DELEGATE_IUNKNOWN

  HRESULT STDMETHODCALLTYPE Next(ULONG count, IPin** pins, ULONG* fetched) override;
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
  HRESULT STDMETHODCALLTYPE Reset() override;
  HRESULT STDMETHODCALLTYPE Clone(IEnumPins** clone) override;

 private:
  bool InSync() const;
  void Resynchronise();
  bool AlreadyReturned(const PinBase* pin) const;

  FilterBase* filter_;
  int position_ = 0;
  int pinCount_ = 0;
  LONG version_ = 0;
  // Pins already handed out, so a refresh after a change of the pin set
  // never hands out the same pin twice. A filter with more pins than this
  // has the rest enumerated without that guard.
  static constexpr int kRememberedPins = 16;
  PinBase* returnedPins_[kRememberedPins] = {};
  int returnedCount_ = 0;
};

}  // namespace sombrevox
