#include "ModuleUnderTest.h"

namespace sombrevox::test {
namespace {

template <typename Function>
Function Export(HMODULE module, const char* name) {
  return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

}  // namespace

ModuleUnderTest::ModuleUnderTest(const std::string& windowsPath) : module_(LoadLibraryA(windowsPath.c_str())) {}

ModuleUnderTest::~ModuleUnderTest() {
  if (module_) FreeLibrary(module_);
}

HRESULT ModuleUnderTest::Create(REFCLSID clsid, REFIID iid, void** object, IUnknown* outer) const {
  *object = nullptr;
  auto getClassObject = Export<HRESULT(WINAPI*)(REFCLSID, REFIID, void**)>(module_, "DllGetClassObject");
  if (!getClassObject) return E_FAIL;
  Microsoft::WRL::ComPtr<IClassFactory> factory;
  const HRESULT found = getClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.GetAddressOf()));
  if (FAILED(found)) return found;
  return factory->CreateInstance(outer, iid, object);
}

HRESULT ModuleUnderTest::CanUnloadNow() const {
  auto canUnloadNow = Export<HRESULT(WINAPI*)()>(module_, "DllCanUnloadNow");
  return canUnloadNow ? canUnloadNow() : E_FAIL;
}

}  // namespace sombrevox::test
