#pragma once
// Registry values set, removed and restored by the tests that use the real
// registry of the test prefix (the settings store, the filter, the editor).
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>

namespace sombrevox::test {

// Keeps a registry value as it was before the test and puts it back after.
class SavedValue {
 public:
  SavedValue(HKEY root, std::string key, const char* name) : root_(root), key_(std::move(key)), name_(name) {
    HKEY k;
    if (RegOpenKeyExA(root_, key_.c_str(), 0, KEY_QUERY_VALUE, &k) == ERROR_SUCCESS) {
      // Sized first, so that a value of any length is kept (and not deleted
      // at the end for want of room).
      DWORD size = 0, type = 0;
      if (RegQueryValueExA(k, name_, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        std::string data(size, '\0');
        if (RegQueryValueExA(k, name_, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) == ERROR_SUCCESS) {
          data.resize(size);
          saved_ = Value{type, std::move(data)};
        }
      }
      RegCloseKey(k);
    }
  }
  ~SavedValue() {
    HKEY k;
    if (saved_) {
      RegCreateKeyExA(root_, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr);
      RegSetValueExA(k, name_, 0, saved_->type, reinterpret_cast<const BYTE*>(saved_->data.data()),
                     static_cast<DWORD>(saved_->data.size()));
      RegCloseKey(k);
    } else if (RegOpenKeyExA(root_, key_.c_str(), 0, KEY_SET_VALUE, &k) == ERROR_SUCCESS) {
      RegDeleteValueA(k, name_);
      RegCloseKey(k);
    }
  }

 private:
  struct Value {
    DWORD type;
    std::string data;
  };
  HKEY root_;
  std::string key_;
  const char* name_;
  std::optional<Value> saved_;
};

inline void SetString(HKEY root, const char* key, const char* name, const std::string& value) {
  HKEY k;
  ASSERT_EQ(RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr), ERROR_SUCCESS);
  RegSetValueExA(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
  RegCloseKey(k);
}

inline void SetDword(HKEY root, const char* key, const char* name, DWORD value) {
  HKEY k;
  ASSERT_EQ(RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr), ERROR_SUCCESS);
  RegSetValueExA(k, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  RegCloseKey(k);
}

inline void DeleteValue(HKEY root, const char* key, const char* name) {
  HKEY k;
  if (RegOpenKeyExA(root, key, 0, KEY_SET_VALUE, &k) != ERROR_SUCCESS) return;
  RegDeleteValueA(k, name);
  RegCloseKey(k);
}

}  // namespace sombrevox::test
