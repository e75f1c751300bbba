#include "Module.h"

#include <new>

#include "ClassFactory.h"

namespace sombrevox {

HINSTANCE ModuleInstance = nullptr;
DWORD PlatformId = 1;
volatile LONG LiveObjectCount = 0;
volatile LONG ServerLockCount = 0;

namespace {

void CallHooks(BOOL loading) {
  for (int row = 0; row < kClassTableCount; ++row) {
    if (kClassTable[row].hook != nullptr) {
      kClassTable[row].hook(loading, kClassTable[row].clsid);
    }
  }
}

}  // namespace
}  // namespace sombrevox

using namespace sombrevox;

// Runs under the loader lock: creates no object and takes no lock.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  switch (reason) {
    case DLL_PROCESS_ATTACH: {
      DisableThreadLibraryCalls(instance);
      PlatformId = 1;
      OSVERSIONINFOA version = {};
      static_assert(sizeof(version) == 148, "OSVERSIONINFOA is 148 bytes");
      version.dwOSVersionInfoSize = sizeof(version);
      if (GetVersionExA(&version)) {
        PlatformId = version.dwPlatformId;
      }
      ModuleInstance = instance;
      CallHooks(TRUE);
      break;
    }
    case DLL_PROCESS_DETACH:
      CallHooks(FALSE);
      break;
    default:
      break;
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  if (iid != IID_IUnknown && iid != IID_IClassFactory) {
    return E_NOINTERFACE;
  }
  if (object == nullptr) {
    return E_POINTER;
  }
  for (int row = 0; row < kClassTableCount; ++row) {
    if (*kClassTable[row].clsid != clsid) {
      continue;
    }
    ClassFactory* factory = new (std::nothrow) ClassFactory(kClassTable[row]);
    *object = factory;
    if (factory == nullptr) {
      return E_OUTOFMEMORY;
    }
    factory->AddRef();
    return S_OK;
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllCanUnloadNow() { return (ServerLockCount > 0 || LiveObjectCount != 0) ? S_FALSE : S_OK; }
