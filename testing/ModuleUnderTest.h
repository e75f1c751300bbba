#pragma once
// The built OVSombrevoxLight.dll loaded as a host loads it (LoadLibrary, then
// its exports), and objects made through its class factory.
#include <windows.h>
#include <wrl/client.h>

#include <string>

namespace sombrevox::test {

class ModuleUnderTest {
 public:
  // `windowsPath`: the module's path as this program sees it (WindowsPath()).
  explicit ModuleUnderTest(const std::string& windowsPath);
  ~ModuleUnderTest();
  ModuleUnderTest(const ModuleUnderTest&) = delete;
  ModuleUnderTest& operator=(const ModuleUnderTest&) = delete;

  HMODULE Handle() const { return module_; }
  // An object of class `clsid` through DllGetClassObject and the class factory.
  HRESULT Create(REFCLSID clsid, REFIID iid, void** object, IUnknown* outer = nullptr) const;
  template <typename I>
  HRESULT Create(REFCLSID clsid, REFIID iid, Microsoft::WRL::ComPtr<I>* object) const {
    return Create(clsid, iid, reinterpret_cast<void**>(object->ReleaseAndGetAddressOf()));
  }
  // The module's DllCanUnloadNow: S_OK once none of its objects is alive.
  HRESULT CanUnloadNow() const;

 private:
  HMODULE module_;
};

}  // namespace sombrevox::test
