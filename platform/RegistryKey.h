#pragma once
// Registry helpers shared by the module's registration and the settings
// store: a key closed with its scope, and a class id's key name.
#include <windows.h>
#include <objbase.h>

#include <cstddef>
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
inline constexpr std::size_t kClassKeyNameLength = 6 + 38;

// The key name written, terminated, into `name`: no allocation, so that
// code running where nothing may throw can form it.
inline void ClassKeyName(const CLSID& clsid, char (&name)[kClassKeyNameLength + 1]) noexcept {
  wchar_t wide[39] = {};
  StringFromGUID2(clsid, wide, 39);
  std::size_t length = 0;
  for (const char* c = "CLSID\\"; *c; ++c) name[length++] = *c;
  // Hexadecimal digits and punctuation only: each wide character fits a byte.
  for (const wchar_t* c = wide; *c; ++c) name[length++] = static_cast<char>(*c);
  name[length] = '\0';
}

inline std::string ClassKeyName(const CLSID& clsid) {
  char name[kClassKeyNameLength + 1];
  ClassKeyName(clsid, name);
  return name;
}

}  // namespace sombrevox
