#include "Registration.h"

#include <uuids.h>

#include <wrl/client.h>

#include "ComObjectBase.h"
#include "FilterBase.h"
#include "Module.h"
#include "RegistryKey.h"

namespace sombrevox {

namespace {

constexpr HRESULT kNotRegistered = HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);

HRESULT FromRegistryError(LONG error) {
  return error == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(static_cast<unsigned long>(error));
}

// Wide text in the ANSI code page, cut to the buffer.
template <size_t N>
void ToNarrow(const wchar_t* text, char (&buffer)[N]) {
  buffer[0] = '\0';
  if (text != nullptr && WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, N, nullptr, nullptr) == 0) {
    buffer[0] = '\0';
  }
  buffer[N - 1] = '\0';
}

// Makes the class through COM (so through the keys just written) and runs its
// IAMovieSetup: Unregister, then Register when `registering` and that worked.
// Classes that are no filters answer E_NOINTERFACE or VFW_E_NEED_OWNER: not
// an error.
HRESULT RunMovieSetup(const CLSID& clsid, bool registering) {
  Microsoft::WRL::ComPtr<IAMovieSetup> setup;
  HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IAMovieSetup,
                                reinterpret_cast<void**>(setup.GetAddressOf()));
  if (FAILED(hr)) {
    return (hr == E_NOINTERFACE || hr == VFW_E_NEED_OWNER) ? S_OK : hr;
  }
  hr = setup->Unregister();
  if (SUCCEEDED(hr) && registering) {
    hr = setup->Register();
  }
  return hr;
}

// Creates the platform's filter mapper and applies the filter's record to it.
HRESULT ApplyToMapper(const FilterSetup& record, BOOL registering) {
  // Balanced by CoUninitialize whatever CoInitialize answered, as COM expects
  // for S_FALSE; a failed CoInitialize leaves CoCreateInstance to fail.
  const HRESULT initialised = CoInitialize(nullptr);
  HRESULT hr;
  {
    Microsoft::WRL::ComPtr<IFilterMapper> mapper;
    hr = CoCreateInstance(CLSID_FilterMapper, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper,
                          reinterpret_cast<void**>(mapper.GetAddressOf()));
    if (SUCCEEDED(hr)) {
      hr = RegisterWithMapper(record, mapper.Get(), registering);
    }
  }
  CoFreeUnusedLibraries();
  if (SUCCEEDED(initialised)) {
    CoUninitialize();
  }
  return hr;
}

}  // namespace

HRESULT RegisterServerKeys(const CLSID& clsid, const wchar_t* description, const wchar_t* modulePath,
                           const wchar_t* threadingModel, const wchar_t* serverType) {
  RegistryKey classKey;
  LONG error = RegCreateKeyA(HKEY_CLASSES_ROOT, ClassKeyName(clsid).c_str(), classKey.Receive());
  if (error != ERROR_SUCCESS) {
    return FromRegistryError(error);
  }
  char text[MAX_PATH];
  ToNarrow(description, text);
  error = RegSetValueA(classKey.Get(), nullptr, REG_SZ, text, lstrlenA(text) + 1);
  if (error != ERROR_SUCCESS) {
    return FromRegistryError(error);
  }

  char serverKeyName[MAX_PATH];
  ToNarrow(serverType, serverKeyName);
  RegistryKey serverKey;
  error = RegCreateKeyA(classKey.Get(), serverKeyName, serverKey.Receive());
  if (error != ERROR_SUCCESS) {
    return FromRegistryError(error);
  }
  char path[MAX_PATH];
  ToNarrow(modulePath, path);
  error = RegSetValueA(serverKey.Get(), nullptr, REG_SZ, path, lstrlenA(path) + 1);
  if (error != ERROR_SUCCESS) {
    return FromRegistryError(error);
  }

  char model[64];
  ToNarrow(threadingModel, model);
  error = RegSetValueExA(serverKey.Get(), "ThreadingModel", 0, REG_SZ, reinterpret_cast<const BYTE*>(model),
                         lstrlenA(model) + 1);
  return FromRegistryError(error);
}

HRESULT RemoveServerKeys(const CLSID& clsid) {
  DeleteKeyTree(HKEY_CLASSES_ROOT, ClassKeyName(clsid).c_str());
  return S_OK;
}

HRESULT DeleteKeyTree(HKEY parent, const char* name) {
  if (name == nullptr || name[0] == '\0') {
    return E_FAIL;
  }
  {
    RegistryKey key;
    if (RegOpenKeyExA(parent, name, 0, MAXIMUM_ALLOWED, key.Receive()) != ERROR_SUCCESS) {
      return S_OK;
    }
    for (;;) {
      char child[MAX_PATH];
      DWORD length = MAX_PATH;
      if (RegEnumKeyExA(key.Get(), 0, child, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        break;
      }
      DeleteKeyTree(key.Get(), child);
      // A child that stays would come back at index 0 for ever.
      char again[MAX_PATH];
      length = MAX_PATH;
      if (RegEnumKeyExA(key.Get(), 0, again, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
          lstrcmpA(again, child) == 0) {
        break;
      }
    }
  }
  RegDeleteKeyA(parent, name);
  return S_OK;
}

HRESULT RegisterWithMapper(const FilterSetup& setup, IFilterMapper* mapper, BOOL registering) {
  HRESULT hr = mapper->UnregisterFilter(*setup.clsid);
  if (registering) {
    hr = mapper->RegisterFilter(*setup.clsid, setup.name, setup.merit);
    for (UINT pinIndex = 0; SUCCEEDED(hr) && pinIndex < setup.pinCount; ++pinIndex) {
      const PinSetup& pin = setup.pins[pinIndex];
      hr = mapper->RegisterPin(*setup.clsid, pin.name, pin.rendered, pin.output, pin.zero, pin.many,
                               *pin.connectsToFilter, pin.connectsToPin);
      for (UINT typeIndex = 0; SUCCEEDED(hr) && typeIndex < pin.typeCount; ++typeIndex) {
        const PinTypeSetup& type = pin.types[typeIndex];
        hr = mapper->RegisterPinType(*setup.clsid, pin.name, *type.majorType, *type.subtype);
      }
    }
  }
  return hr == kNotRegistered ? S_OK : hr;
}

HRESULT STDMETHODCALLTYPE FilterBase::Register() {
  const FilterSetup* record = SetupRecord();
  if (record == nullptr) {
    return S_FALSE;
  }
  // A filter that the mapper would not take still counts as registered.
  ApplyToMapper(*record, TRUE);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE FilterBase::Unregister() {
  const FilterSetup* record = SetupRecord();
  if (record == nullptr) {
    return S_FALSE;
  }
  const HRESULT hr = ApplyToMapper(*record, FALSE);
  return hr == kNotRegistered ? S_OK : hr;
}

}  // namespace sombrevox

using namespace sombrevox;

STDAPI DllRegisterServer() {
  char narrowPath[MAX_PATH];
  const DWORD length = GetModuleFileNameA(ModuleInstance, narrowPath, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    // A failure is never reported as success, and a cut path is no path.
    const DWORD error = length == 0 ? GetLastError() : ERROR_INSUFFICIENT_BUFFER;
    return error == 0 ? E_FAIL : HRESULT_FROM_WIN32(error);
  }
  wchar_t path[MAX_PATH];
  MultiByteToWideChar(CP_ACP, 0, narrowPath, -1, path, MAX_PATH);

  HRESULT hr = S_OK;
  for (int row = 0; row < kClassTableCount; ++row) {
    const FactoryTemplate& entry = kClassTable[row];
    hr = RegisterServerKeys(*entry.clsid, entry.name, path, L"Both", L"InprocServer32");
    if (FAILED(hr)) {
      break;
    }
    if (entry.create != nullptr) {
      hr = RunMovieSetup(*entry.clsid, true);
    }
    if (FAILED(hr)) {
      break;
    }
  }
  return hr;
}

// The mapper is told before the class keys go: making the filter needs them.
STDAPI DllUnregisterServer() {
  HRESULT hr = S_OK;
  for (int row = kClassTableCount - 1; row >= 0; --row) {
    const FactoryTemplate& entry = kClassTable[row];
    if (entry.create != nullptr) {
      hr = RunMovieSetup(*entry.clsid, false);
      if (FAILED(hr)) {
        break;
      }
    }
    RemoveServerKeys(*entry.clsid);
  }
  return hr;
}
