#pragma once
// The module shell: the class table every module linking the framework
// defines, and the module-wide values set at load time.
#include <windows.h>

namespace sombrevox {

class ComObjectBase;
struct FilterSetup;

// One creatable class of the module.
struct FactoryTemplate {
  const wchar_t* name;  // display name, also the registry description
  const CLSID* clsid;
  // Returns a new object with reference count 0 and leaves *hr at S_OK, or
  // returns null with *hr set to the failure. An object returned together
  // with a failure is destroyed by the factory.
  ComObjectBase* (*create)(IUnknown* outer, HRESULT* hr);
  // Called at process attach (TRUE) and detach (FALSE); may be null.
  void (*hook)(BOOL loading, const CLSID* clsid);
  const FilterSetup* setup;  // filter registration data, or null
};

// Defined by the module that links the framework (include this header before
// the definition, so that the constant keeps external linkage).
extern const FactoryTemplate kClassTable[];
extern const int kClassTableCount;

// Set at process attach.
extern HINSTANCE ModuleInstance;
// 1 until process attach; then dwPlatformId (2: the wide string functions work).
extern DWORD PlatformId;
// Every live ComObjectBase and ClassFactory.
extern volatile LONG LiveObjectCount;
// Changed by IClassFactory::LockServer.
extern volatile LONG ServerLockCount;

}  // namespace sombrevox

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);
