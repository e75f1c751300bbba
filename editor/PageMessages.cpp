// The page's dialog messages: each goes to a handler of its own.
#include <windowsx.h>

#include <memory>
#include <type_traits>

#include "AboutPanel.h"
#include "AboutTextDialog.h"
#include "ContextHelp.h"
#include "ControlMessages.h"
#include "Module.h"
#include "ParameterMapping.h"
#include "PreferencesDialog.h"
#include "PresetsDialog.h"
#include "ResourceIds.h"
#include "ReverbParams.h"
#include "ReverbPropertyPage.h"
#include "SettingsAccess.h"
#include "ShowParameters.h"
#include "ValueEntryPopup.h"

namespace sombrevox {
namespace {

struct MenuDestroyer {
  void operator()(HMENU menu) const { DestroyMenu(menu); }
};
using OwnedMenu = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDestroyer>;

}  // namespace

INT_PTR ReverbPropertyPage::OnPageMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return OnInitDialog(window);
    case WM_REVERB_PRESET_SELECTED:
      UpdateControls(0);
      return TRUE;
    case WM_DISPLAY_READY:
      OnDisplayReady();
      return TRUE;
    case WM_VALUE_ENTERED:
      OnShowParameters();
      return TRUE;
    case WM_PAINT:
      OnPaint();
      return TRUE;
    case WM_DRAWITEM:
      DrawSelectButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_HELP:
      OnHelp(reinterpret_cast<const HELPINFO*>(lParam));
      return TRUE;
    case WM_CONTEXTMENU:
      return OnContextMenu(lParam);
    case WM_COMMAND:
      OnCommand(wParam);
      return TRUE;
    case WM_DESTROY:
      OnDestroy();
      return FALSE;
    default:
      return FALSE;
  }
}

template <typename OpenWindow>
void ReverbPropertyPage::RunModal(OpenWindow open) {
  const Microsoft::WRL::ComPtr<IUnknown> page(OuterUnknown());
  const Microsoft::WRL::ComPtr<IReverbSettings> filter(settings_);
  open(window_, editorLink_);
}

INT_PTR ReverbPropertyPage::OnInitDialog(HWND window) {
  window_ = window;
  if (settings_) ConnectWindowToFilter();
  CreateControls();
  SetSelectedParam(kMix);
  InitControls();
  UpdateControls(0);
  return TRUE;
}

// The display is ready (after its intro, or at once): the controls come to
// life, and on the editor's first opening for this filter the About text
// dialog follows once.
void ReverbPropertyPage::OnDisplayReady() {
  if (editorLink_) editorLink_->pageReady = 1;
  EnableControls();
  OnShowParameters();
  if (!editorLink_ || !editorLink_->firstOpen) return;
  // Cleared first: a display shown again meanwhile must not open a second one.
  editorLink_->firstOpen = 0;
  RunModal([](HWND owner, EditorLink*) { ShowAboutTextDialog(ModuleInstance, owner); });
}

void ReverbPropertyPage::OnShowParameters() { ShowParameters(Control(IDC_DISPLAY), settings_.Get(), SelectedParam()); }

// A point outside the page (also the keyboard's "no point", -1, -1) is the
// frame's: unanswered here, the dialog passes it on once.
INT_PTR ReverbPropertyPage::OnContextMenu(LPARAM lParam) {
  const POINT screen = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  POINT client = screen;
  ScreenToClient(window_, &client);
  RECT area{};
  GetClientRect(window_, &area);
  if (!PtInRect(&area, client)) return FALSE;
  if (PageReady()) ShowContextMenu(screen);
  return TRUE;
}

// The menu is loaded for each showing and destroyed after it; the chosen
// item arrives later as WM_COMMAND.
void ReverbPropertyPage::ShowContextMenu(POINT screen) {
  const OwnedMenu menu(LoadMenuA(ModuleInstance, MAKEINTRESOURCEA(IDM_CONTEXT)));
  if (!menu) return;
  RunModal([&menu, screen](HWND owner, EditorLink*) {
    TrackPopupMenu(GetSubMenu(menu.get(), 0), TPM_RIGHTBUTTON, screen.x, screen.y, 0, owner, nullptr);
  });
}

void ReverbPropertyPage::OnCommand(WPARAM wParam) {
  if (!settings_) return;
  const int id = LOWORD(wParam);
  switch (id) {
    case IDC_SELECT_LEFT:
    case IDC_SELECT_RIGHT:
      // Every notification is a click: the second click of a double-click
      // comes as BN_DOUBLECLICKED from an owner-drawn button.
      OnSelect(id == IDC_SELECT_RIGHT ? 1 : 0);
      break;
    case PAGE_NOTIFY_ID:
      UpdateControls(0);
      break;
    case ID_HELP:
      OpenHelp(window_, ModuleInstance);
      break;
    case ID_ABOUT:
      RunModal([](HWND owner, EditorLink*) { ShowAboutPanel(ModuleInstance, owner); });
      break;
    case ID_PRESETS:
      RunModal([](HWND owner, EditorLink* link) { ShowPresetsDialog(ModuleInstance, owner, link); });
      break;
    case ID_PREFERENCES:
      RunModal([](HWND owner, EditorLink* link) { ShowPreferencesDialog(ModuleInstance, owner, link); });
      break;
    default:
      break;
  }
}

// The right button steps forward along the edit cycle, the left one back.
void ReverbPropertyPage::OnSelect(int direction) {
  const int selected = NextEditParam(SelectedParam(), direction);
  SetSelectedParam(selected);
  HWND knob = Control(IDC_VALUE);
  SendMessageA(knob, KNOB_SETPARAM, selected, 0);
  SendMessageA(Control(IDC_LEVEL), SLIDER_SETPARAM, selected, 0);
  ShowParameters(Control(IDC_DISPLAY), settings_.Get(), selected);
  SendMessageA(knob, CTL_SETPOS, LOWORD(PositionFromValue(settings_.Get(), selected)), 0);
}

void ReverbPropertyPage::OnHelp(const HELPINFO* request) {
  ShowContextHelp(window_, request, kContextHelpTopics, ModuleInstance);
}

// The filter stops notifying the window and the settings go to the
// registry; the help the page opened closes after them.
void ReverbPropertyPage::OnDestroy() {
  if (settings_)
    DisconnectWindowFromFilter();
  else
    CloseValueEntryPopup(window_);
  leftNormal_.Reset();
  leftPressed_.Reset();
  rightNormal_.Reset();
  rightPressed_.Reset();
  ShowContextHelp(window_, nullptr, kContextHelpTopics, ModuleInstance);
  window_ = nullptr;
}

}  // namespace sombrevox
