#pragma once
// Self-registration: the class keys under HKEY_CLASSES_ROOT and the filter's
// entries in the platform's filter mapper. DllRegisterServer and
// DllUnregisterServer (declared by the platform headers) are defined here too.
#include <windows.h>
#include <dshow.h>

#include "FilterSetup.h"

namespace sombrevox {

// Writes "CLSID\{...}" with the description as its default value, and its
// server-type subkey with the module path and the threading model.
HRESULT RegisterServerKeys(const CLSID& clsid, const wchar_t* description, const wchar_t* modulePath,
                           const wchar_t* threadingModel, const wchar_t* serverType);
// Deletes the class key with everything below it; a missing key is no error.
HRESULT RemoveServerKeys(const CLSID& clsid);
// Deletes `name` under `parent` with all its subkeys. E_FAIL for an empty name;
// S_OK when the key does not exist.
HRESULT DeleteKeyTree(HKEY parent, const char* name);
// Unregisters the filter from the mapper and, when `registering`, registers it
// again with its pins and their media types.
HRESULT RegisterWithMapper(const FilterSetup& setup, IFilterMapper* mapper, BOOL registering);

}  // namespace sombrevox
