#include "ClassFactory.h"

#include "ComObjectBase.h"

namespace sombrevox {

ClassFactory::ClassFactory(const FactoryTemplate& row) : row_(row) { InterlockedIncrement(&LiveObjectCount); }

ClassFactory::~ClassFactory() { InterlockedDecrement(&LiveObjectCount); }

HRESULT STDMETHODCALLTYPE ClassFactory::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) {
    return E_POINTER;
  }
  *object = nullptr;
  if (iid == IID_IUnknown || iid == IID_IClassFactory) {
    *object = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  return E_NOINTERFACE;
}

// A factory may reach a host's worker threads, so its count is interlocked too.
ULONG STDMETHODCALLTYPE ClassFactory::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

ULONG STDMETHODCALLTYPE ClassFactory::Release() {
  const LONG count = InterlockedDecrement(&references_);
  if (count == 0) {
    delete this;
  }
  return static_cast<ULONG>(count);
}

HRESULT STDMETHODCALLTYPE ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
  if (object == nullptr) {
    return E_POINTER;
  }
  // An aggregated object can only be handed to its aggregator as its inner unknown.
  if (outer != nullptr && iid != IID_IUnknown) {
    return E_NOINTERFACE;
  }
  *object = nullptr;
  HRESULT hr = S_OK;
  ComObjectBase* created = row_.create(outer, &hr);
  if (created == nullptr) {
    return FAILED(hr) ? hr : E_OUTOFMEMORY;
  }
  if (FAILED(hr)) {
    // Through the last release, so the destructor runs under the
    // destroy-once guard like every other destruction.
    created->InnerAddRef();
    created->InnerRelease();
    return hr;
  }
  // The temporary reference makes the failed query's release destroy the object.
  created->InnerAddRef();
  hr = created->InnerQueryInterface(iid, object);
  created->InnerRelease();
  return hr;
}

HRESULT STDMETHODCALLTYPE ClassFactory::LockServer(BOOL lock) {
  if (lock) {
    InterlockedIncrement(&ServerLockCount);
  } else {
    InterlockedDecrement(&ServerLockCount);
  }
  return S_OK;
}

}  // namespace sombrevox
