#pragma once
// Registry helpers shared by the module's registration and the settings
// store: a key closed with its scope, and a class id's key name.
#include <windows.h>
#include <objbase.h>

#include <string>

namespace sombrevox {

// A registry key opened or created into Receive(), closed with its scope.
class RegistryKey {
 public:
  RegistryKey() = default;
  ~RegistryKey() {
    if (key_) RegCloseKey(key_);
  }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  HKEY* Receive() { return &key_; }
  HKEY Get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

// "CLSID\{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}": the class's key under
// HKEY_CLASSES_ROOT, braced and upper case as the platform writes it.
inline std::string ClassKeyName(const CLSID& clsid) {
  wchar_t wide[39] = {};
  StringFromGUID2(clsid, wide, 39);
  std::string name = "CLSID\\";
  for (const wchar_t* c = wide; *c; ++c) name += static_cast<char>(*c);  // hexadecimal digits and punctuation only
  return name;
}

}  // namespace sombrevox
