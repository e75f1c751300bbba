#include "PreferencesMiscPage.h"

#include <commctrl.h>

#include "PluginSettings.h"
#include "ResourceIds.h"

namespace sombrevox {
namespace {

PrefsHostState* HostOf(HWND page) { return reinterpret_cast<PrefsHostState*>(GetWindowLongPtrA(page, DWLP_USER)); }

BOOL OnInit(HWND page, PrefsHostState* host) {
  SetWindowLongPtrA(page, DWLP_USER, reinterpret_cast<LONG_PTR>(host));
  SetWindowPos(page, nullptr, host->pageRect.left, host->pageRect.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (SendMessageA(host->tabControl, TCM_GETCURSEL, 0, 0) == 0) {
    CheckDlgButton(page, IDC_SHOW_PRESENTATION,
                   host->link->settings->pendingShowPresentation ? BST_CHECKED : BST_UNCHECKED);
    SetFocus(GetDlgItem(page, IDC_SHOW_PRESENTATION));
  }
  return FALSE;  // the focus is set
}

void OnShowPresentationClicked(HWND page) {
  HostOf(page)->link->settings->pendingShowPresentation =
      IsDlgButtonChecked(page, IDC_SHOW_PRESENTATION) == BST_CHECKED ? TRUE : FALSE;
}

}  // namespace

INT_PTR CALLBACK PreferencesMiscPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return OnInit(page, reinterpret_cast<PrefsHostState*>(lParam));
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_SHOW_PRESENTATION && HIWORD(wParam) == BN_CLICKED && HostOf(page) != nullptr) {
        OnShowPresentationClicked(page);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace sombrevox
