#include "ModuleUnderTest.h"

#include <algorithm>

namespace sombrevox::test {

std::string WindowsPathOf(const std::string& builtPath) {
  std::string path = builtPath;
  std::replace(path.begin(), path.end(), '/', '\\');
  return !path.empty() && path[0] == '\\' ? "Z:" + path : path;
}

HMODULE LoadModuleUnderTest(const std::string& builtPath) {
  static const HMODULE module = LoadLibraryA(WindowsPathOf(builtPath).c_str());
  return module;
}

Microsoft::WRL::ComPtr<IUnknown> CreateFromModule(HMODULE module, REFCLSID clsid, IUnknown* outer, HRESULT* result) {
  using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
  Microsoft::WRL::ComPtr<IUnknown> object;
  HRESULT hr = E_FAIL;
  const auto entry =
      module ? reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")))
             : nullptr;
  Microsoft::WRL::ComPtr<IClassFactory> factory;
  if (entry) hr = entry(clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.GetAddressOf()));
  if (SUCCEEDED(hr)) hr = factory->CreateInstance(outer, IID_IUnknown, reinterpret_cast<void**>(object.GetAddressOf()));
  if (result) *result = hr;
  return object;
}

}  // namespace sombrevox::test
