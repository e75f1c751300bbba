#pragma once
// The built OVSombrevoxLight.dll as a host without registration uses it:
// loaded with LoadLibrary, filters made through its own DllGetClassObject.
#include <windows.h>
#include <wrl/client.h>

#include <string>

namespace sombrevox::test {

// The Windows form of a path the build gives (Wine maps Z: to the Unix root).
std::string WindowsPathOf(const std::string& builtPath);

// Loads the module at `builtPath` once per program and keeps it loaded.
HMODULE LoadModuleUnderTest(const std::string& builtPath);

// A new object of class `clsid` from the module's class factory (null, with
// *result set, when that fails).
Microsoft::WRL::ComPtr<IUnknown> CreateFromModule(HMODULE module, REFCLSID clsid, IUnknown* outer = nullptr,
                                                  HRESULT* result = nullptr);

}  // namespace sombrevox::test
