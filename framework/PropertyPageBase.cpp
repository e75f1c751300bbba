#include "PropertyPageBase.h"

#include "Module.h"

namespace sombrevox {

PropertyPageBase::PropertyPageBase(IUnknown* outer, int dialogId, int titleId)
    : ComObjectBase(outer), titleId_(titleId), dialogId_(dialogId) {}

PropertyPageBase::~PropertyPageBase() = default;

HRESULT STDMETHODCALLTYPE PropertyPageBase::InnerQueryInterface(REFIID iid, void** object) {
  if (object != nullptr && iid == IID_IPropertyPage) {
    return HandOutInterface(static_cast<IPropertyPage*>(this), object);
  }
  return ComObjectBase::InnerQueryInterface(iid, object);
}

void PropertyPageBase::OnFinalRelease() {
  // The dialog's user data points at this page: the dialog goes first.
  if (pageWindow_ != nullptr) {
    Deactivate();
  }
  SetPageSite(nullptr);
  SetObjects(0, nullptr);
}

HRESULT STDMETHODCALLTYPE PropertyPageBase::SetPageSite(IPropertyPageSite* site) {
  if ((site != nullptr) == (site_ != nullptr)) {
    return E_UNEXPECTED;
  }
  site_ = site;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE PropertyPageBase::Activate(HWND parent, LPCRECT rect, BOOL) {
  if (rect == nullptr) {
    return E_POINTER;
  }
  if (!objectsSet_ || pageWindow_ != nullptr) {
    return E_UNEXPECTED;
  }
  HWND window = CreateDialogParamA(ModuleInstance, MAKEINTRESOURCEA(dialogId_), parent, PageDialogProc,
                                   reinterpret_cast<LPARAM>(this));
  if (window == nullptr) {
    return E_OUTOFMEMORY;
  }
  pageWindow_ = window;
  SetWindowLongPtrA(window, GWL_EXSTYLE, GetWindowLongPtrA(window, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
  OnPageActivate();
  Move(rect);
  return Show(SW_SHOWNORMAL);
}

HRESULT STDMETHODCALLTYPE PropertyPageBase::Deactivate() {
  if (pageWindow_ == nullptr) {
    return E_UNEXPECTED;
  }
  SetWindowLongPtrA(pageWindow_, GWL_EXSTYLE, GetWindowLongPtrA(pageWindow_, GWL_EXSTYLE) & ~WS_EX_CONTROLPARENT);
  OnPageDeactivate();
  DestroyWindow(pageWindow_);
  pageWindow_ = nullptr;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE PropertyPageBase::SetObjects(ULONG count, IUnknown** objects) {
  if (count == 1) {
    if (objects == nullptr || objects[0] == nullptr) {
      return E_POINTER;
    }
    // Recorded only when the attach succeeds: a page without its object
    // must not activate.
    const HRESULT hr = OnAttach(objects[0]);
    objectsSet_ = SUCCEEDED(hr);
    return hr;
  }
  if (count == 0) {
    objectsSet_ = false;
    return OnDetach();
  }
  return E_UNEXPECTED;
}

HRESULT STDMETHODCALLTYPE PropertyPageBase::Show(UINT command) {
  if (pageWindow_ == nullptr) {
    return E_UNEXPECTED;
  }
  if (command != SW_HIDE && command != SW_SHOWNORMAL && command != SW_SHOW) {
    return E_INVALIDARG;
  }
  ShowWindow(pageWindow_, static_cast<int>(command));
  InvalidateRect(pageWindow_, nullptr, TRUE);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE PropertyPageBase::Move(LPCRECT rect) {
  if (rect == nullptr) {
    return E_POINTER;
  }
  if (pageWindow_ == nullptr) {
    return E_UNEXPECTED;
  }
  MoveWindow(pageWindow_, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, TRUE);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE PropertyPageBase::Apply() {
  if (!objectsSet_ || site_ == nullptr) {
    return E_UNEXPECTED;
  }
  if (!dirty_) {
    return S_OK;
  }
  const HRESULT hr = OnApply();
  if (SUCCEEDED(hr)) {
    dirty_ = false;
  }
  return hr;
}

INT_PTR CALLBACK PropertyPageBase::PageDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(window, DWLP_USER, lParam);
    if (lParam == 0) {
      return TRUE;
    }
  }
  auto* page = reinterpret_cast<PropertyPageBase*>(GetWindowLongPtrA(window, DWLP_USER));
  if (page == nullptr) {
    return TRUE;
  }
  const INT_PTR answer = page->OnPageMessage(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    // The last message of the dialog: nothing may reach the page through it
    // any more, whatever becomes of the page.
    SetWindowLongPtrA(window, DWLP_USER, 0);
    if (page->pageWindow_ == window) {
      page->pageWindow_ = nullptr;  // destroyed with its parent, not by Deactivate
    }
  }
  return answer;
}

WCHAR* LoadWideString(WCHAR* buffer, UINT id) {
  constexpr int kCharacters = 256;
  buffer[0] = L'\0';
  if (PlatformId == VER_PLATFORM_WIN32_NT) {
    LoadStringW(ModuleInstance, id, buffer, kCharacters);
    return buffer;
  }
  char narrow[kCharacters];
  const int length = LoadStringA(ModuleInstance, id, narrow, kCharacters);
  if (length > 0) {
    MultiByteToWideChar(CP_ACP, 0, narrow, length + 1, buffer, kCharacters);
  }
  return buffer;
}

LPOLESTR PropertyPageBase::CopyTitle() const {
  WCHAR title[256];
  return TaskMemoryCopy(LoadWideString(title, static_cast<UINT>(titleId_)));
}

}  // namespace sombrevox
