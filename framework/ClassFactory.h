#pragma once
// The class factory handed out by DllGetClassObject for one class-table row.
#include <windows.h>
#include <unknwn.h>

#include "Module.h"

namespace sombrevox {

class ClassFactory final : public IClassFactory {
 public:
  explicit ClassFactory(const FactoryTemplate& row);
  ~ClassFactory();
  ClassFactory(const ClassFactory&) = delete;
  ClassFactory& operator=(const ClassFactory&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

 private:
  volatile LONG references_ = 0;
  const FactoryTemplate& row_;
};

}  // namespace sombrevox
