#include "PreferencesDialog.h"

#include <commctrl.h>

#include "PluginSettings.h"
#include "PreferencesMiscPage.h"
#include "PrefsHostState.h"
#include "ResourceIds.h"

namespace sombrevox {
namespace {

constexpr int kMargin = 7;      // pixels around the tab control and below the buttons
constexpr int kButtonGap = 15;  // pixels between OK and Cancel

const char kMiscTabText[] = "Misc";

PrefsHostState* StateOf(HWND dialog) { return reinterpret_cast<PrefsHostState*>(GetWindowLongPtrA(dialog, DWLP_USER)); }

const DLGTEMPLATE* LoadPageTemplate(HINSTANCE module, int id) {
  HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), RT_DIALOG);
  HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
  return loaded ? static_cast<const DLGTEMPLATE*>(LockResource(loaded)) : nullptr;
}

// The size a template asks for, in dialog units (the module's dialog
// templates are all of the plain form).
SIZE TemplateSize(const DLGTEMPLATE* dialogTemplate) {
  if (dialogTemplate == nullptr) return SIZE{0, 0};
  return SIZE{dialogTemplate->cx, dialogTemplate->cy};
}

SIZE WindowSize(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

// Sizes the tab control around the page, at (7, 7), and records the display
// area where the page goes.
RECT PlaceTabControl(HWND dialog, PrefsHostState& state) {
  const SIZE size = TemplateSize(state.pageTemplate);
  RECT tab{0, 0, size.cx, size.cy};
  MapDialogRect(dialog, &tab);
  SendMessageA(state.tabControl, TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&tab));
  OffsetRect(&tab, kMargin - tab.left, kMargin - tab.top);
  state.pageRect = tab;
  SendMessageA(state.tabControl, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&state.pageRect));
  SetWindowPos(state.tabControl, nullptr, tab.left, tab.top, tab.right - tab.left, tab.bottom - tab.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
  return tab;
}

// Puts the buttons on one row below the tab control, Cancel flush with its
// right edge, and fits the dialog around them.
void PlaceButtonsAndFrame(HWND dialog, const RECT& tab) {
  const HWND cancel = GetDlgItem(dialog, IDCANCEL);
  const SIZE button = WindowSize(cancel);
  const int top = tab.bottom + kMargin;
  SetWindowPos(cancel, nullptr, tab.right - button.cx, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(GetDlgItem(dialog, IDOK), nullptr, tab.right - 2 * button.cx - kButtonGap, top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  const int width = tab.right + kMargin + 2 * GetSystemMetrics(SM_CXDLGFRAME);
  const int height = top + button.cy + kMargin + GetSystemMetrics(SM_CYCAPTION) + 2 * GetSystemMetrics(SM_CYDLGFRAME);
  SetWindowPos(dialog, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Replaces the current page by the page of the selected tab.
void ShowSelectedPage(HWND dialog, PrefsHostState& state) {
  const auto tab = static_cast<int>(SendMessageA(state.tabControl, TCM_GETCURSEL, 0, 0));
  if (state.currentPage != nullptr) DestroyWindow(state.currentPage);
  state.currentPage = nullptr;
  if (tab != 0 || state.pageTemplate == nullptr) return;  // "Misc", the only tab
  state.currentPage = CreateDialogIndirectParamA(state.module, state.pageTemplate, dialog, PreferencesMiscPageProc,
                                                 reinterpret_cast<LPARAM>(&state));
  if (state.currentPage != nullptr) ShowWindow(state.currentPage, SW_SHOW);
}

BOOL OnInit(HWND dialog, PrefsHostState* state) {
  SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
  PluginSettings& settings = *state->link->settings;
  settings.pendingShowPresentation = settings.showPresentation;

  state->tabControl = GetDlgItem(dialog, IDC_PREFS_TABS);
  TCITEMA item{};
  item.mask = TCIF_TEXT;
  item.pszText = const_cast<char*>(kMiscTabText);
  SendMessageA(state->tabControl, TCM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
  state->pageTemplate = LoadPageTemplate(state->module, IDD_PREFS_MISC);

  PlaceButtonsAndFrame(dialog, PlaceTabControl(dialog, *state));
  ShowSelectedPage(dialog, *state);
  return FALSE;  // the page has given its check box the focus
}

void OnOk(HWND dialog, PrefsHostState& state) {
  PluginSettings& settings = *state.link->settings;
  settings.showPresentation = settings.pendingShowPresentation;
  EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK PreferencesProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) return OnInit(dialog, reinterpret_cast<PrefsHostState*>(lParam));
  PrefsHostState* state = StateOf(dialog);
  if (state == nullptr) return FALSE;
  switch (message) {
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->idFrom != IDC_PREFS_TABS || header->code != TCN_SELCHANGE) return FALSE;
      ShowSelectedPage(dialog, *state);
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) OnOk(dialog, *state);
      if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog, IDCANCEL);  // also Escape and the close box
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

INT_PTR ShowPreferencesDialog(HINSTANCE module, HWND owner, EditorLink* link) {
  if (link == nullptr || link->settings == nullptr) return -1;
  // The template's tab control is made with the dialog.
  InitCommonControls();
  PrefsHostState state;
  state.module = module;
  state.link = link;
  return DialogBoxParamA(module, MAKEINTRESOURCEA(IDD_PREFERENCES), owner, PreferencesProc,
                         reinterpret_cast<LPARAM>(&state));
}

}  // namespace sombrevox
