#include "TestPage.h"

#include <new>

namespace sombrevox {

ComObjectBase* TestPropertyPage::Create(IUnknown* outer, HRESULT* hr) {
  auto* page = new (std::nothrow) TestPropertyPage(outer);
  if (page == nullptr) {
    *hr = E_OUTOFMEMORY;
  }
  return page;
}

TestPropertyPage::TestPropertyPage(IUnknown* outer) : PropertyPageBase(outer, 1, 1) {}

HRESULT STDMETHODCALLTYPE TestPropertyPage::InnerQueryInterface(REFIID iid, void** object) {
  if (object != nullptr && iid == kPageProbeIid) {
    return HandOutInterface(static_cast<ITestPageProbe*>(this), object);
  }
  return PropertyPageBase::InnerQueryInterface(iid, object);
}

HRESULT STDMETHODCALLTYPE TestPropertyPage::GetPageInfo(PROPPAGEINFO* info) {
  if (info == nullptr) {
    return E_POINTER;
  }
  *info = PROPPAGEINFO{};
  info->cb = sizeof(PROPPAGEINFO);
  info->pszTitle = CopyTitle();
  if (info->pszTitle == nullptr) {
    return E_OUTOFMEMORY;
  }
  info->size = SIZE{200, 100};
  return S_OK;
}

HRESULT TestPropertyPage::OnAttach(IUnknown* object) {
  InterlockedIncrement(&counts_.attach);
  return object->QueryInterface(IID_IPersist, reinterpret_cast<void**>(object_.ReleaseAndGetAddressOf()));
}

HRESULT TestPropertyPage::OnDetach() {
  InterlockedIncrement(&counts_.detach);
  if (object_ == nullptr) {
    return E_UNEXPECTED;
  }
  object_.Reset();
  return S_OK;
}

HRESULT TestPropertyPage::OnPageActivate() {
  InterlockedIncrement(&counts_.pageActivate);
  return S_OK;
}

HRESULT TestPropertyPage::OnPageDeactivate() {
  InterlockedIncrement(&counts_.pageDeactivate);
  return S_OK;
}

HRESULT TestPropertyPage::OnApply() {
  InterlockedIncrement(&counts_.apply);
  return S_OK;
}

INT_PTR TestPropertyPage::OnPageMessage(HWND, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG) {
    InterlockedIncrement(&counts_.initDialog);
    return TRUE;
  }
  if (message == WM_DESTROY) {
    InterlockedIncrement(&counts_.destroy);
  }
  return FALSE;
}

HRESULT STDMETHODCALLTYPE TestPropertyPage::GetPageCounts(PageCounts* counts) {
  *counts = counts_;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TestPropertyPage::MakeDirty() {
  SetDirty(true);
  return S_OK;
}

}  // namespace sombrevox
