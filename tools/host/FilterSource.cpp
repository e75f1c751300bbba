#include "FilterSource.h"

#include "GraphUtil.h"
#include "SombrevoxLight.h"

namespace sombrevox::host {
namespace {

using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

}  // namespace

FilterSource::~FilterSource() {
  if (pageCookie_) CoRevokeClassObject(pageCookie_);
  pageFactory_.Reset();
  filterFactory_.Reset();
  if (module_) FreeLibrary(module_);
}

bool FilterSource::Open(const std::string& modulePath, std::string* error) {
  if (modulePath.empty()) return true;
  const std::string path = graph::WindowsPath(modulePath);
  module_ = LoadLibraryA(path.c_str());
  if (!module_) {
    *error = "cannot load " + path + ": " + graph::HrText(HRESULT_FROM_WIN32(GetLastError()));
    return false;
  }
  auto getClassObject =
      reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(module_, "DllGetClassObject")));
  if (!getClassObject) {
    *error = path + " exports no DllGetClassObject";
    return false;
  }
  HRESULT hr =
      getClassObject(CLSID_SombrevoxLight, IID_IClassFactory, reinterpret_cast<void**>(filterFactory_.GetAddressOf()));
  if (SUCCEEDED(hr))
    hr = getClassObject(CLSID_SombrevoxLightPage, IID_IClassFactory,
                        reinterpret_cast<void**>(pageFactory_.GetAddressOf()));
  if (SUCCEEDED(hr))
    hr = CoRegisterClassObject(CLSID_SombrevoxLightPage, pageFactory_.Get(), CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                               &pageCookie_);
  if (FAILED(hr)) *error = "cannot take the classes of " + path + ": " + graph::HrText(hr);
  return SUCCEEDED(hr);
}

bool FilterSource::CreateFilter(Microsoft::WRL::ComPtr<IUnknown>* filter, std::string* error) {
  HRESULT hr;
  if (filterFactory_) {
    hr = filterFactory_->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(filter->GetAddressOf()));
  } else {
    hr = CoCreateInstance(CLSID_SombrevoxLight, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                          reinterpret_cast<void**>(filter->GetAddressOf()));
    if (hr == REGDB_E_CLASSNOTREG) {
      *error = "the filter is not registered: run regsvr32 OVSombrevoxLight.dll first, or give --module";
      return false;
    }
  }
  if (FAILED(hr)) *error = "cannot create the filter: " + graph::HrText(hr);
  return SUCCEEDED(hr);
}

}  // namespace sombrevox::host
