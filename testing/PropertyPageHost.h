#pragma once
// The host's side of a property page for page tests: a page site that only
// counts its references, and a top-level window for the page's dialog.
#include <windows.h>
#include <ocidl.h>

#include <wrl/client.h>

#include "Peers.h"

namespace sombrevox::test {

class CountingSite final : public IPropertyPageSite, public RefCounted<CountingSite> {
 public:
  static Microsoft::WRL::ComPtr<CountingSite> Make() { return graph::Adopt(new CountingSite); }
  LONG References() const { return RefCounted::References(); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (iid != IID_IUnknown && iid != IID_IPropertyPageSite) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    *object = static_cast<IPropertyPageSite*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return AddRefImpl(); }
  ULONG STDMETHODCALLTYPE Release() override { return ReleaseImpl(); }
  HRESULT STDMETHODCALLTYPE OnStatusChange(DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetLocaleID(LCID* locale) override {
    *locale = LOCALE_USER_DEFAULT;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetPageContainer(IUnknown** container) override {
    *container = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*) override { return S_FALSE; }

 private:
  friend class RefCounted<CountingSite>;
  CountingSite() = default;
  ~CountingSite() = default;
};

// A shown top-level window for the page's dialog to live in, as a property
// frame gives one.
class ParentWindow {
 public:
  ParentWindow()
      : window_(CreateWindowExA(0, "STATIC", "page parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 480, 200, nullptr,
                                nullptr, nullptr, nullptr)) {}
  ~ParentWindow() {
    if (IsWindow(window_)) DestroyWindow(window_);
  }
  ParentWindow(const ParentWindow&) = delete;
  ParentWindow& operator=(const ParentWindow&) = delete;
  HWND get() const { return window_; }

 private:
  HWND window_;
};

}  // namespace sombrevox::test
