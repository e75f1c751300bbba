#include "FilterTestSupport.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace sombrevox::test {
namespace {

const bool installed = InstallTestEnvironment(COINIT_APARTMENTTHREADED);

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

const char* TestWindowClass() {
  static const char* name = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = TestWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "OV_FilterTestWindow";
    RegisterClassA(&wc);
    return "OV_FilterTestWindow";
  }();
  return name;
}

}  // namespace

std::string ModulePath() {
  std::string path = "Z:";
  path += SOMBREVOX_DLL_PATH;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

HMODULE Module() {
  static HMODULE module = LoadLibraryA(ModulePath().c_str());
  return module;
}

ComPtr<IUnknown> CreateFilter(IUnknown* outer) {
  ComPtr<IUnknown> object;
  auto getClassObject = reinterpret_cast<HRESULT(WINAPI*)(REFCLSID, REFIID, void**)>(
      reinterpret_cast<void*>(GetProcAddress(Module(), "DllGetClassObject")));
  if (!getClassObject) return object;
  ComPtr<IClassFactory> factory;
  if (FAILED(getClassObject(CLSID_SombrevoxLight, IID_IClassFactory, reinterpret_cast<void**>(factory.GetAddressOf()))))
    return object;
  factory->CreateInstance(outer, IID_IUnknown, reinterpret_cast<void**>(object.GetAddressOf()));
  return object;
}

ULONG RefCount(IUnknown* object) {
  object->AddRef();
  return object->Release();
}

TestWindow::TestWindow() {
  window_ = CreateWindowA(TestWindowClass(), "test", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                          GetModuleHandleA(nullptr), nullptr);
}

TestWindow::~TestWindow() { Destroy(); }

void TestWindow::Destroy() {
  if (window_) DestroyWindow(window_);
  window_ = nullptr;
}

bool TakePosted(HWND window, UINT message, MSG* out) {
  return PeekMessageA(out, window, message, message, PM_REMOVE) != FALSE;
}

}  // namespace sombrevox::test
