#pragma once
// Where sombrevox-host takes the filter from: the registered class, as any
// host does, or a module file, whose class objects then stand in for the
// registration in this process only (the platform's property frame creates
// the page by its class identifier).
#include <windows.h>
#include <wrl/client.h>

#include <string>

namespace sombrevox::host {

class FilterSource {
 public:
  FilterSource() = default;
  ~FilterSource();
  FilterSource(const FilterSource&) = delete;
  FilterSource& operator=(const FilterSource&) = delete;

  // `modulePath` empty: the registered classes. On failure `error` says why.
  bool Open(const std::string& modulePath, std::string* error);
  // A new filter; on failure `error` says why.
  bool CreateFilter(Microsoft::WRL::ComPtr<IUnknown>* filter, std::string* error);

 private:
  HMODULE module_ = nullptr;
  Microsoft::WRL::ComPtr<IClassFactory> filterFactory_;
  Microsoft::WRL::ComPtr<IClassFactory> pageFactory_;
  DWORD pageCookie_ = 0;  // the page's class object, registered for this process
};

}  // namespace sombrevox::host
