// The page as a host drives it through IPropertyPage: its page information in
// task memory, the filter it holds and lets go, the answers to calls out of
// order, and a page freed, or losing its filter, while its dialog exists.
#include <gtest/gtest.h>

#include <string>

#include "ControlMessages.h"
#include "GuiTestSupport.h"
#include "PageTestSupport.h"
#include "ResourceIds.h"
#include "ReverbParams.h"
#include "TestSupport.h"

namespace sombrevox::test {
namespace {

using PageObjectTest = PageTest;

const RECT kArea = {0, 0, 430, 110};

// The count AddRef and Release report.
ULONG References(IUnknown* object) {
  object->AddRef();
  return object->Release();
}

ComPtr<IPropertyPage> CreatePage() {
  ComPtr<IPropertyPage> page;
  EXPECT_HR(S_OK, CoCreateInstance(CLSID_SombrevoxLightPage, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage,
                                   reinterpret_cast<void**>(page.GetAddressOf())));
  return page;
}

TEST_F(PageObjectTest, PageInformationInTaskMemory) {
  page_ = CreatePage();
  ASSERT_TRUE(page_);
  EXPECT_HR(E_POINTER, page_->GetPageInfo(nullptr));
  PROPPAGEINFO info{};
  info.cb = sizeof info;
  ASSERT_HR(S_OK, page_->GetPageInfo(&info));
  EXPECT_STREQ(info.pszTitle, L"OVSombrevoxLight");
  EXPECT_EQ(info.size.cx, 430);
  EXPECT_EQ(info.size.cy, 110);
  EXPECT_EQ(info.pszDocString, nullptr);
  EXPECT_EQ(info.dwHelpContext, 1u);
  wchar_t module[MAX_PATH] = {};
  GetModuleFileNameW(GetModuleHandleA(kModuleName), module, MAX_PATH);
  std::wstring help(module);
  help = help.substr(0, help.rfind(L'\\') + 1) + L"OVSombrevoxLight.HLP";
  EXPECT_EQ(std::wstring(info.pszHelpFile), help) << "beside the module";
  ComPtr<IMalloc> taskMemory;
  ASSERT_HR(S_OK, CoGetMalloc(1, &taskMemory));
  EXPECT_EQ(taskMemory->DidAlloc(info.pszTitle), 1);
  EXPECT_EQ(taskMemory->DidAlloc(info.pszHelpFile), 1);
  CoTaskMemFree(info.pszTitle);
  CoTaskMemFree(info.pszHelpFile);

  EXPECT_HR(S_FALSE, page_->IsPageDirty());
  EXPECT_HR(E_NOTIMPL, page_->Help(nullptr));
  MSG message{};
  EXPECT_HR(E_NOTIMPL, page_->TranslateAccelerator(&message));
  page_.Reset();
}

TEST_F(PageObjectTest, HoldsOneReferenceToItsFilterBetweenAttachAndDetach) {
  page_ = CreatePage();
  ASSERT_TRUE(page_);
  EXPECT_HR(E_UNEXPECTED, page_->SetObjects(0, nullptr)) << "nothing to detach";
  EXPECT_HR(E_UNEXPECTED, page_->Activate(parent_.get(), &kArea, TRUE)) << "no filter yet";
  EXPECT_EQ(Page(), nullptr);
  ComPtr<IStream> stream;
  ASSERT_HR(S_OK, CreateStreamOnHGlobal(nullptr, TRUE, &stream));
  IUnknown* notAFilter[] = {stream.Get()};
  EXPECT_HR(E_NOINTERFACE, page_->SetObjects(1, notAFilter));
  EXPECT_HR(E_UNEXPECTED, page_->Activate(parent_.get(), &kArea, TRUE)) << "a refused object is no object";

  const ULONG before = References(filter_.Get());
  IUnknown* objects[] = {filter_.Get()};
  ASSERT_HR(S_OK, page_->SetObjects(1, objects));
  EXPECT_EQ(References(filter_.Get()), before + 1);
  ASSERT_HR(S_OK, page_->SetObjects(1, objects)) << "the same filter again";
  EXPECT_EQ(References(filter_.Get()), before + 1) << "still one reference";

  ASSERT_HR(S_OK, page_->SetPageSite(site_.Get()));
  ASSERT_HR(S_OK, page_->Activate(parent_.get(), &kArea, TRUE));
  EXPECT_EQ(link_->pageWindow, Page());
  EXPECT_EQ(link_->selectedParam, kMix);
  EXPECT_HR(S_OK, page_->Apply()) << "every change is applied at once";
  ASSERT_HR(S_OK, page_->Deactivate());
  EXPECT_EQ(Page(), nullptr);
  EXPECT_EQ(link_->pageWindow, nullptr);

  ASSERT_HR(S_OK, page_->SetObjects(0, nullptr));
  EXPECT_EQ(References(filter_.Get()), before);
  EXPECT_HR(E_UNEXPECTED, page_->SetObjects(0, nullptr));
  EXPECT_HR(S_OK, page_->SetPageSite(nullptr));
  page_.Reset();
}

// The frame's last release without Deactivate: the dialog goes, and with it
// the page's hold on the filter.
TEST_F(PageObjectTest, ReleasedWhileOpenClosesItsDialogAndLetsGo) {
  DeleteValue(HKEY_LOCAL_MACHINE, kSettingsKey, "ShowPresentation");
  const ULONG before = References(filter_.Get());
  Open();
  ASSERT_TRUE(WaitReady());
  page_.Reset();
  EXPECT_EQ(Page(), nullptr);
  EXPECT_EQ(link_->pageWindow, nullptr);
  EXPECT_EQ(References(filter_.Get()), before);
  EXPECT_EQ(site_->References(), 1) << "the site let go";
  DWORD show = 0;
  EXPECT_TRUE(StoredDword("ShowPresentation", &show)) << "the settings were saved";
}

TEST_F(PageObjectTest, LosingItsFilterWhileOpenLeavesTheFilterAlone) {
  DeleteValue(HKEY_LOCAL_MACHINE, kSettingsKey, "ShowPresentation");
  Open();
  ASSERT_TRUE(WaitReady());
  HWND page = Page();
  ASSERT_HR(S_OK, page_->SetObjects(0, nullptr));
  EXPECT_EQ(link_->pageWindow, nullptr);
  DWORD show = 0;
  EXPECT_TRUE(StoredDword("ShowPresentation", &show)) << "the settings were saved";
  // The page's notification slot is free: the table's two slots take two other windows.
  ParentWindow first, second;
  EXPECT_HR(S_OK, settings_->SetNotifyWindow(first.get(), 1));
  EXPECT_HR(S_OK, settings_->SetNotifyWindow(second.get(), 1));
  settings_->SetNotifyWindow(first.get(), 0);
  settings_->SetNotifyWindow(second.get(), 0);

  // Nothing the user or the filter does reaches the filter any more, or fails.
  const double mix = Param(kMix);
  DragKnob();
  EXPECT_EQ(Param(kMix), mix) << "the knob wrote to a filter the page no longer holds";
  Click(IDC_SELECT_RIGHT);
  for (UINT message : {WM_DISPLAY_READY, WM_VALUE_ENTERED, WM_REVERB_PRESET_SELECTED})
    SendMessageA(page, message, 0, 0);
  SendMessageA(page, WM_COMMAND, MAKEWPARAM(PAGE_NOTIFY_ID, NOTIFY_OUTPUT_TYPE), 0);
  RedrawWindow(page, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  ContextMenuProbe menu;
  EXPECT_FALSE(menu.Opens(page, {200, 10})) << "no menu without a filter";

  // Another filter for the open page: the controls write to it.
  ComPtr<IUnknown> other = CreateFilter();
  EditorLink* otherLink = LinkOf(other.Get());
  ASSERT_NE(otherLink, nullptr);
  IUnknown* objects[] = {other.Get()};
  ASSERT_HR(S_OK, page_->SetObjects(1, objects));
  EXPECT_EQ(otherLink->pageWindow, page);
  DragKnob();
  EXPECT_EQ(Param(kMix), mix) << "the first filter";
  double otherMix = -1;
  Query<IReverbSettings>(other.Get(), IID_IReverbSettings)->GetMix(&otherMix);
  EXPECT_EQ(otherMix, 0.0) << "the knob's minimum, on the new filter";
  Close();
  EXPECT_EQ(otherLink->pageWindow, nullptr);
}

}  // namespace
}  // namespace sombrevox::test
