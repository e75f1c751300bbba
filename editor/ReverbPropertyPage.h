#pragma once
// The filter's editor as the host shows it: a property page whose dialog (101)
// has no controls of its own. At WM_INITDIALOG it makes the five controls of
// the skin, wires the knob and the slider to the filter's IReverbSettings,
// and keeps them in step with the filter's notifications; its context menu
// opens the Presets and Preferences dialogs, the help and the About panel.
// Every change goes to the filter at once, so the page is never dirty.
//
// All of it runs on the property frame's thread. The filter can be taken
// away (SetObjects with none) while the dialog exists, and given back: every
// handler works without settings and without the editor link.
#include <windows.h>

#include <wrl/client.h>

#include "GdiObjects.h"
#include "PropertyPageBase.h"
#include "SombrevoxLight.h"

namespace sombrevox {

class ReverbPropertyPage : public PropertyPageBase {
 public:
  explicit ReverbPropertyPage(IUnknown* outer);
  ~ReverbPropertyPage() override;

  // IPropertyPage
  HRESULT STDMETHODCALLTYPE GetPageInfo(PROPPAGEINFO* info) override;
  HRESULT STDMETHODCALLTYPE IsPageDirty() override { return IsDirty() ? S_OK : S_FALSE; }

  // PropertyPageBase
  HRESULT OnAttach(IUnknown* object) override;
  HRESULT OnDetach() override;
  INT_PTR OnPageMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

  // Shows the controls with their ranges and the display's mode, which starts
  // the intro or makes the display report ready at once.
  virtual void InitControls();
  // `which` 0 (or PAGE_NOTIFY_ID): a full refresh from the filter (selection
  // back to "Mix", knob, slider, display), the low-pass lowered to what the
  // output rate allows. Any other value changes nothing. 0 when there is no
  // filter or no dialog, else 1.
  virtual int UpdateControls(int which);

 private:
  // Message handlers (PageMessages.cpp).
  INT_PTR OnInitDialog(HWND window);
  void OnDisplayReady();
  void OnShowParameters();
  INT_PTR OnContextMenu(LPARAM lParam);
  void ShowContextMenu(POINT screen);
  void OnCommand(WPARAM wParam);
  void OnSelect(int direction);
  void OnHelp(const HELPINFO* request);
  void OnDestroy();
  // Runs `open`(page window, editor link), a modal window of the page: the
  // page and its filter stay alive until it returns, whatever the host does
  // meanwhile (it may close the page, or take the filter away).
  template <typename OpenWindow>
  void RunModal(OpenWindow open);

  // The editor link's words, read as "none" without a link.
  bool PageReady() const { return editorLink_ && editorLink_->pageReady; }
  int SelectedParam() const;
  void SetSelectedParam(int index);

  // Controls (PageControls.cpp).
  void CreateControls();
  HWND Control(int id) const;
  // The filter's settings for the knob and the slider to write through (null: none).
  void HandSettingsToControls(IReverbSettings* settings);
  void EnableControls();

  // Drawing (PageDrawing.cpp).
  void OnPaint();
  void DrawSelectButton(const DRAWITEMSTRUCT& item);

  // The dialog's ties to the filter: made when both exist, undone when
  // either goes (ReverbPropertyPage.cpp).
  void ConnectWindowToFilter();
  void DisconnectWindowFromFilter();

  HWND window_ = nullptr;  // the page's dialog from WM_INITDIALOG to WM_DESTROY
  Microsoft::WRL::ComPtr<IReverbSettings> settings_;
  // Weak: the block lives inside the filter, which settings_ keeps alive;
  // null whenever settings_ is.
  EditorLink* editorLink_ = nullptr;
  Bitmap leftNormal_, leftPressed_, rightNormal_, rightPressed_;
};

// The class table's create function for the page: registers the controls'
// window classes first (REGDB_E_CLASSNOTREG when that fails).
ComObjectBase* CreatePropertyPage(IUnknown* outer, HRESULT* hr);

// The class table's hook for the page's row: at module detach the controls'
// classes go, so that a module loaded again registers its own.
void PropertyPageModuleHook(BOOL loading, const CLSID* clsid);

}  // namespace sombrevox
