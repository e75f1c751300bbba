// IReverbSettings: the parameters, the agreed formats, the editor link and
// the notification windows. Setters clamp and never fail.
#include <cstring>

#include "ReverbFilter.h"

namespace sombrevox {

static_assert(sizeof(WAVEFORMATEX) == 18, "formats are handed out as the platform's 18-byte record");

HRESULT STDMETHODCALLTYPE ReverbFilter::GetParams(ReverbParams* params) {
  if (!params) return E_POINTER;
  *params = params_.GetAll();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE ReverbFilter::SetParams(const ReverbParams* params) {
  if (!params) return E_POINTER;
  params_.SetAll(*params);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE ReverbFilter::GetWaveFormat(WAVEFORMATEX* format, DWORD which) {
  if (!format) return E_POINTER;
  std::lock_guard<std::mutex> guard(params_.SettingsLock());
  if (which == 0 && hasInputFormat_) {
    std::memcpy(format, &inputFormat_, sizeof(WAVEFORMATEX));
    return S_OK;
  }
  if (which == 1 && hasOutputFormat_) {
    std::memcpy(format, &outputFormat_, sizeof(WAVEFORMATEX));
    return S_OK;
  }
  return VFW_E_NOT_CONNECTED;
}

HRESULT STDMETHODCALLTYPE ReverbFilter::GetEditorLink(EditorLink** link) {
  if (!link) return E_POINTER;
  *link = &editorLink_;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE ReverbFilter::SetNotifyWindow(HWND window, DWORD id) {
  return notifications_.SetNotifyWindow(window, id);
}

HRESULT ReverbFilter::GetOne(int index, double* value) {
  if (!value) return E_POINTER;
  *value = params_.Get(index);
  return S_OK;
}

HRESULT ReverbFilter::SetOne(int index, double value) {
  params_.Set(index, value);
  return S_OK;
}

}  // namespace sombrevox
