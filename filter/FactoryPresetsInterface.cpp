// IFactoryPresets: the 24 read-only presets of the product.
#include "FactoryPresets.h"
#include "ReverbFilter.h"

namespace sombrevox {

HRESULT STDMETHODCALLTYPE ReverbFilter::GetPresetCount(LONG* count) {
  if (!count) return E_POINTER;
  *count = kFactoryPresetCount;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE ReverbFilter::GetPresetName(LONG index, WCHAR* name, LONG length) {
  if (index < 0 || index >= kFactoryPresetCount) return E_INVALIDARG;
  if (!name) return E_POINTER;
  if (length <= 0) return E_INVALIDARG;
  if (MultiByteToWideChar(CP_ACP, 0, kFactoryPresets[index].name, -1, name, length) == 0) {
    // Too small for the whole name: no half name passes as a whole one.
    const DWORD error = GetLastError();
    name[length - 1] = L'\0';
    return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE ReverbFilter::SelectPreset(LONG index) {
  if (index < 0 || index >= kFactoryPresetCount) return E_INVALIDARG;
  const HRESULT hr = SetParams(&kFactoryPresets[index].params);
  if (editorLink_.pageWindow) PostMessageA(editorLink_.pageWindow, WM_REVERB_PRESET_SELECTED, 0, 0);
  return hr;
}

}  // namespace sombrevox
