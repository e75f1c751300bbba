#include "ComObjectBase.h"

#include "Module.h"

namespace sombrevox {

ComObjectBase::ComObjectBase(IUnknown* outer) : outer_(outer != nullptr ? outer : InnerUnknown()) {
  InterlockedIncrement(&LiveObjectCount);
}

ComObjectBase::~ComObjectBase() { InterlockedDecrement(&LiveObjectCount); }

HRESULT STDMETHODCALLTYPE ComObjectBase::InnerQueryInterface(REFIID iid, void** object) {
  if (object == nullptr) {
    return E_POINTER;
  }
  if (iid == IID_IUnknown) {
    return HandOutInterface(InnerUnknown(), object);
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE ComObjectBase::InnerAddRef() {
  const LONG count = InterlockedIncrement(&references_);
  return count > 1 ? static_cast<ULONG>(count) : 1;
}

ULONG STDMETHODCALLTYPE ComObjectBase::InnerRelease() {
  const LONG count = InterlockedDecrement(&references_);
  if (count != 0) {
    const LONG now = references_;
    return now > 1 ? static_cast<ULONG>(now) : 1;
  }
  // A destructor that releases interfaces pointing back at this object would
  // otherwise bring the count through zero a second time.
  references_ = 1;
  OnFinalRelease();
  delete this;
  return 0;
}

HRESULT ComObjectBase::HandOutInterface(IUnknown* iface, void** object) {
  if (object == nullptr) {
    return E_POINTER;
  }
  *object = iface;
  iface->AddRef();
  return S_OK;
}

}  // namespace sombrevox
