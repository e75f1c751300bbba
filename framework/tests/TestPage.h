#pragma once
// The framework's test page: a property page on the test module's own dialog
// that attaches to objects with IPersist (the test filter) and counts every
// hook call, so the tests can see what the framework called.
#include "PropertyPageBase.h"
#include "TestFilterApi.h"

namespace sombrevox {

class TestPropertyPage final : public PropertyPageBase, public ITestPageProbe {
 public:
  static ComObjectBase* Create(IUnknown* outer, HRESULT* hr);

  HRESULT STDMETHODCALLTYPE InnerQueryInterface(REFIID iid, void** object) override;
  SOMBREVOX_DELEGATE_IUNKNOWN

  HRESULT STDMETHODCALLTYPE GetPageInfo(PROPPAGEINFO* info) override;
  HRESULT STDMETHODCALLTYPE IsPageDirty() override { return IsDirty() ? S_OK : S_FALSE; }

  HRESULT OnAttach(IUnknown* object) override;
  HRESULT OnDetach() override;
  HRESULT OnPageActivate() override;
  HRESULT OnPageDeactivate() override;
  HRESULT OnApply() override;
  INT_PTR OnPageMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

  // ITestPageProbe
  HRESULT STDMETHODCALLTYPE GetPageCounts(PageCounts* counts) override;
  HRESULT STDMETHODCALLTYPE MakeDirty() override;

 private:
  explicit TestPropertyPage(IUnknown* outer);

  PageCounts counts_{};
  Microsoft::WRL::ComPtr<IPersist> object_;
};

}  // namespace sombrevox
