// The page as a COM object: creation, page information, attach and detach,
// and the ties between the page's dialog and the filter.
#include "ReverbPropertyPage.h"

#include <new>

#include "ControlMessages.h"
#include "Module.h"
#include "PluginSettings.h"
#include "ResourceIds.h"
#include "ValueEntryPopup.h"

namespace sombrevox {
namespace {

constexpr SIZE kPageSize = {430, 110};  // pixels: the skin's size
constexpr DWORD kPageHelpContext = 1;

}  // namespace

ComObjectBase* CreatePropertyPage(IUnknown* outer, HRESULT* hr) {
  if (!RegisterEditorControls(ModuleInstance)) {
    *hr = REGDB_E_CLASSNOTREG;
    return nullptr;
  }
  auto* page = new (std::nothrow) ReverbPropertyPage(outer);
  *hr = page ? S_OK : E_OUTOFMEMORY;
  return page;
}

void PropertyPageModuleHook(BOOL loading, const CLSID*) {
  if (!loading) UnregisterEditorControls(ModuleInstance);
}

ReverbPropertyPage::ReverbPropertyPage(IUnknown* outer) : PropertyPageBase(outer, IDD_PAGE, IDS_TITLE) {}

ReverbPropertyPage::~ReverbPropertyPage() = default;

HRESULT STDMETHODCALLTYPE ReverbPropertyPage::GetPageInfo(PROPPAGEINFO* info) {
  if (!info) return E_POINTER;
  char narrowHelp[MAX_PATH];
  HelpFilePath(ModuleInstance, narrowHelp);
  WCHAR help[MAX_PATH];
  if (!MultiByteToWideChar(CP_ACP, 0, narrowHelp, -1, help, MAX_PATH)) help[0] = L'\0';

  LPOLESTR titleCopy = CopyTitle();
  if (!titleCopy) return E_OUTOFMEMORY;
  LPOLESTR helpCopy = TaskMemoryCopy(help);
  if (!helpCopy) {
    CoTaskMemFree(titleCopy);
    return E_OUTOFMEMORY;
  }
  info->cb = sizeof(PROPPAGEINFO);
  info->pszTitle = titleCopy;
  info->size = kPageSize;
  info->pszDocString = nullptr;
  info->pszHelpFile = helpCopy;
  info->dwHelpContext = kPageHelpContext;
  return S_OK;
}

HRESULT ReverbPropertyPage::OnAttach(IUnknown* object) {
  if (!object) return E_POINTER;
  if (settings_) OnDetach();
  Microsoft::WRL::ComPtr<IReverbSettings> settings;
  if (FAILED(object->QueryInterface(IID_IReverbSettings, reinterpret_cast<void**>(settings.GetAddressOf()))))
    return E_NOINTERFACE;
  EditorLink* link = nullptr;
  if (FAILED(settings->GetEditorLink(&link))) link = nullptr;
  settings_ = std::move(settings);
  editorLink_ = link;
  if (window_) {
    // A page already showing takes the new filter over as it stands.
    if (editorLink_ && IsWindowEnabled(Control(IDC_DISPLAY))) editorLink_->pageReady = 1;
    ConnectWindowToFilter();
    UpdateControls(0);
  }
  return S_OK;
}

HRESULT ReverbPropertyPage::OnDetach() {
  if (!settings_) return E_UNEXPECTED;
  if (window_) DisconnectWindowFromFilter();
  editorLink_ = nullptr;
  settings_.Reset();
  return S_OK;
}

void ReverbPropertyPage::ConnectWindowToFilter() {
  if (editorLink_) editorLink_->pageWindow = window_;
  settings_->SetNotifyWindow(window_, PAGE_NOTIFY_ID);
  HandSettingsToControls(settings_.Get());
}

// What closing the dialog does for the filter, also when the filter goes
// first: the controls and the popup must not write to a filter the page no
// longer holds, nor the filter post to a page that no longer edits it.
void ReverbPropertyPage::DisconnectWindowFromFilter() {
  settings_->SetNotifyWindow(window_, 0);
  if (editorLink_) {
    if (editorLink_->settings) SaveSettings(editorLink_->settings);
    if (editorLink_->pageWindow == window_) editorLink_->pageWindow = nullptr;
  }
  HandSettingsToControls(nullptr);
  CloseValueEntryPopup(window_);
}

}  // namespace sombrevox
