#include "ReverbFilter.h"

#include <new>

#include "FactoryPresets.h"
#include "Module.h"
#include "TransformInputPin.h"
#include "TransformOutputPin.h"

namespace sombrevox {

ComObjectBase* ReverbFilter::Create(IUnknown* outer, HRESULT* hr) {
  ReverbFilter* filter = new (std::nothrow) ReverbFilter(outer);
  if (!filter) *hr = E_OUTOFMEMORY;
  return filter;
}

ReverbFilter::ReverbFilter(IUnknown* outer) : TransformFilterBase(outer, CLSID_SombrevoxLight) {
  InitPluginSettings(&pluginSettings_);
  LoadSettings(ModuleInstance, &pluginSettings_);
  editorLink_.settings = &pluginSettings_;
  editorLink_.reverb = static_cast<IReverbSettings*>(this);
  editorLink_.pageWindow = nullptr;
  editorLink_.pageReady = 0;
  editorLink_.firstOpen = 1;
  editorLink_.selectedParam = kMix;
  editorLink_.editorWord = 1;
  // No window is registered yet, so nothing is posted: the new filter holds
  // the default setting with both flags raised.
  SelectPreset(0);
}

ReverbFilter::~ReverbFilter() { engine_.FreeRings(); }

HRESULT STDMETHODCALLTYPE ReverbFilter::InnerQueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (iid == IID_IReverbSettings) return HandOutInterface(static_cast<IReverbSettings*>(this), object);
  if (iid == IID_ISpecifyPropertyPages) return HandOutInterface(static_cast<ISpecifyPropertyPages*>(this), object);
  if (iid == IID_IPersistStream) return HandOutInterface(static_cast<IPersistStream*>(this), object);
  if (iid == IID_IFactoryPresets) return HandOutInterface(static_cast<IFactoryPresets*>(this), object);
  return TransformFilterBase::InnerQueryInterface(iid, object);
}

HRESULT STDMETHODCALLTYPE ReverbFilter::GetClassID(CLSID* clsid) { return TransformFilterBase::GetClassID(clsid); }

HRESULT STDMETHODCALLTYPE ReverbFilter::GetPages(CAUUID* pages) {
  if (!pages) return E_POINTER;
  pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID)));
  if (!pages->pElems) {
    pages->cElems = 0;
    return E_OUTOFMEMORY;
  }
  pages->cElems = 1;
  pages->pElems[0] = CLSID_SombrevoxLightPage;
  return S_OK;
}

}  // namespace sombrevox
