#pragma once
// Shared by the filter tests: the module under test loaded as a host loads
// it, filters made through its class factory, and a few real windows.
#include <windows.h>
#include <wrl/client.h>

#include <string>

#include "SombrevoxLight.h"

namespace sombrevox::test {

using Microsoft::WRL::ComPtr;

// The built OVSombrevoxLight.dll as a Windows path.
std::string ModulePath();

// The module, loaded once per test program with LoadLibrary.
HMODULE Module();

// A new filter through DllGetClassObject and the class factory.
ComPtr<IUnknown> CreateFilter(IUnknown* outer = nullptr);

template <typename I>
ComPtr<I> As(IUnknown* object, REFIID iid) {
  ComPtr<I> result;
  object->QueryInterface(iid, reinterpret_cast<void**>(result.GetAddressOf()));
  return result;
}

// The object's reference count, read by an AddRef/Release pair.
ULONG RefCount(IUnknown* object);

// A plain top-level window of a class of our own, destroyed with the object.
class TestWindow {
 public:
  TestWindow();
  ~TestWindow();
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;
  HWND get() const { return window_; }
  void Destroy();

 private:
  HWND window_ = nullptr;
};

// Takes the next posted message `message` for `window` from the queue, if any.
bool TakePosted(HWND window, UINT message, MSG* out);

}  // namespace sombrevox::test
