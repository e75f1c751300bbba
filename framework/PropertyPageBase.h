#pragma once
// IPropertyPage for the module's page: the page site, the page's modeless
// child dialog, routing of every dialog message to the derived page, the
// dirty flag, and SetObjects turned into attach and detach. All calls come
// on the property frame's thread, which also runs the dialog; no lock.
#include <windows.h>
#include <ocidl.h>

#include <wrl/client.h>

#include "ComObjectBase.h"
#include "TaskMemory.h"

namespace sombrevox {

class PropertyPageBase : public ComObjectBase, public IPropertyPage {
 public:
  // The page's dialog template and title string, in the module's resources.
  PropertyPageBase(IUnknown* outer, int dialogId, int titleId);
  ~PropertyPageBase() override;

  HRESULT STDMETHODCALLTYPE InnerQueryInterface(REFIID iid, void** object) override;
  SOMBREVOX_DELEGATE_IUNKNOWN

  // IPropertyPage (GetPageInfo and IsPageDirty are the derived page's).
  HRESULT STDMETHODCALLTYPE SetPageSite(IPropertyPageSite* site) override;
  HRESULT STDMETHODCALLTYPE Activate(HWND parent, LPCRECT rect, BOOL modal) override;
  HRESULT STDMETHODCALLTYPE Deactivate() override;
  HRESULT STDMETHODCALLTYPE SetObjects(ULONG count, IUnknown** objects) override;
  HRESULT STDMETHODCALLTYPE Show(UINT command) override;
  HRESULT STDMETHODCALLTYPE Move(LPCRECT rect) override;
  HRESULT STDMETHODCALLTYPE Apply() override;
  HRESULT STDMETHODCALLTYPE Help(LPCOLESTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*) override { return E_NOTIMPL; }

  // Overridable operations.
  virtual HRESULT OnAttach(IUnknown* object) = 0;
  virtual HRESULT OnDetach() = 0;
  virtual HRESULT OnPageActivate() { return S_OK; }
  virtual HRESULT OnPageDeactivate() { return S_OK; }
  virtual HRESULT OnApply() { return S_OK; }
  // Every message of the page's dialog, WM_INITDIALOG included; the answer
  // is the dialog procedure's.
  virtual INT_PTR OnPageMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;

 protected:
  // Released by its frame without the usual clean-up, the page still takes
  // its dialog down and lets go of its site and its objects.
  void OnFinalRelease() override;

  // The page's title (its string resource) in task memory, as GetPageInfo
  // hands it out; null when it cannot be allocated.
  LPOLESTR CopyTitle() const;
  HWND PageWindow() const { return pageWindow_; }
  bool IsDirty() const { return dirty_; }
  void SetDirty(bool dirty) { dirty_ = dirty; }

 private:
  static INT_PTR CALLBACK PageDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  Microsoft::WRL::ComPtr<IPropertyPageSite> site_;
  HWND pageWindow_ = nullptr;  // the dialog made by Activate, null when inactive
  bool dirty_ = false;
  int titleId_;
  int dialogId_;
  bool objectsSet_ = false;  // between a successful attach and the detach
};

// The string resource `id` of the module as wide text in `buffer` (256
// characters), empty when there is none; returns `buffer`.
WCHAR* LoadWideString(WCHAR* buffer, UINT id);

}  // namespace sombrevox
