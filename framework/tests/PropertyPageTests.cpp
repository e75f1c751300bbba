// The property page framework as a frame drives it, on the test module's page:
// site, objects, activation into a real parent window, the out-of-order
// answers, the dirty flag, and a page released without the usual clean-up.
#include "FrameworkTestSupport.h"
#include "PropertyPageHost.h"

namespace sombrevox {

namespace {

using test::CountingSite;
using test::ParentWindow;

class PropertyPageTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    ASSERT_HR(S_OK, CreateFromModule(kTestPageClsid, nullptr, IID_IPropertyPage,
                                     reinterpret_cast<void**>(page.GetAddressOf())));
    ASSERT_HR(S_OK, page->QueryInterface(kPageProbeIid, reinterpret_cast<void**>(probe.GetAddressOf())));
    filter = CreateTestFilter();
    ASSERT_NE(nullptr, filter);
  }
  void TearDown() override {
    probe.Reset();
    page.Reset();
    filter.Reset();
    FrameworkTest::TearDown();
  }

  PageCounts Counts() {
    PageCounts counts{};
    probe->GetPageCounts(&counts);
    return counts;
  }
  HRESULT Attach() {
    IUnknown* objects[] = {filter.Get()};
    return page->SetObjects(1, objects);
  }
  // The page's dialog: the only child window of the parent.
  HWND Dialog() const { return GetWindow(parent.get(), GW_CHILD); }

  ParentWindow parent;
  ComPtr<IPropertyPage> page;
  ComPtr<ITestPageProbe> probe;
  ComPtr<IBaseFilter> filter;
  const RECT rect{10, 10, 210, 110};
};

TEST_F(PropertyPageTest, ActivatesIntoTheParentOnlyWithItsObject) {
  EXPECT_HR(E_POINTER, page->Activate(parent.get(), nullptr, FALSE)) << "checked before the objects";
  EXPECT_HR(E_UNEXPECTED, page->Activate(parent.get(), &rect, FALSE));
  EXPECT_EQ(nullptr, Dialog()) << "no window without objects";

  ASSERT_HR(S_OK, Attach());
  ASSERT_HR(S_OK, page->Activate(parent.get(), &rect, FALSE));
  HWND dialog = Dialog();
  ASSERT_NE(nullptr, dialog);
  EXPECT_TRUE(IsWindowVisible(dialog));
  EXPECT_NE(0, GetWindowLongPtrA(dialog, GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
  RECT placed{};
  GetWindowRect(dialog, &placed);
  MapWindowPoints(nullptr, parent.get(), reinterpret_cast<POINT*>(&placed), 2);
  EXPECT_EQ(10, placed.left);
  EXPECT_EQ(200, placed.right - placed.left);
  EXPECT_EQ(1, Counts().initDialog);
  EXPECT_EQ(1, Counts().pageActivate);
  EXPECT_HR(E_UNEXPECTED, page->Activate(parent.get(), &rect, FALSE)) << "twice";

  EXPECT_HR(E_INVALIDARG, page->Show(SW_MINIMIZE));
  EXPECT_HR(S_OK, page->Show(SW_HIDE));
  EXPECT_FALSE(IsWindowVisible(dialog));
  EXPECT_HR(E_POINTER, page->Move(nullptr));

  ASSERT_HR(S_OK, page->Deactivate());
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_EQ(1, Counts().pageDeactivate);
  EXPECT_EQ(1, Counts().destroy);
  EXPECT_HR(E_UNEXPECTED, page->Deactivate());
  EXPECT_HR(E_UNEXPECTED, page->Show(SW_SHOW));
  EXPECT_HR(E_UNEXPECTED, page->Move(&rect));
  EXPECT_HR(S_OK, page->SetObjects(0, nullptr));
}

TEST_F(PropertyPageTest, OutOfOrderCallsAnswerAndChangeNothing) {
  ComPtr<CountingSite> site = CountingSite::Make();
  EXPECT_HR(E_UNEXPECTED, page->SetPageSite(nullptr)) << "no site to remove";
  ASSERT_HR(S_OK, page->SetPageSite(site.Get()));
  EXPECT_HR(E_UNEXPECTED, page->SetPageSite(site.Get())) << "a second site";

  IUnknown* two[] = {filter.Get(), filter.Get()};
  EXPECT_HR(E_UNEXPECTED, page->SetObjects(2, two));
  IUnknown* none[] = {nullptr};
  EXPECT_HR(E_POINTER, page->SetObjects(1, none));
  EXPECT_HR(E_UNEXPECTED, page->Apply()) << "no objects yet";
  EXPECT_EQ(0, Counts().attach);

  ASSERT_HR(S_OK, Attach());
  EXPECT_HR(S_OK, page->Apply());
  EXPECT_EQ(0, Counts().apply) << "a clean page has nothing to apply";
  probe->MakeDirty();
  EXPECT_HR(S_OK, page->IsPageDirty());
  EXPECT_HR(S_OK, page->Apply());
  EXPECT_EQ(1, Counts().apply);
  EXPECT_HR(S_FALSE, page->IsPageDirty());

  EXPECT_HR(S_OK, page->SetObjects(0, nullptr));
  EXPECT_HR(S_OK, page->SetPageSite(nullptr));
  EXPECT_EQ(1, site->References()) << "the page let go of its site";

  PROPPAGEINFO info{};
  ASSERT_HR(S_OK, page->GetPageInfo(&info));
  EXPECT_STREQ(kTestPageTitle, info.pszTitle) << "the title string through LoadWideString";
  CoTaskMemFree(info.pszTitle);
}

// An object the page cannot attach to leaves it without objects: it answers
// the refusal and will not activate.
TEST_F(PropertyPageTest, RefusedAttachLeavesThePageWithoutObjects) {
  ComPtr<Aggregator> stranger = Aggregator::Make();
  IUnknown* objects[] = {stranger.Get()};
  EXPECT_HR(E_NOINTERFACE, page->SetObjects(1, objects));
  EXPECT_HR(E_UNEXPECTED, page->Activate(parent.get(), &rect, FALSE));
  EXPECT_EQ(nullptr, Dialog());
}

// The frame drops its last reference to an active page without Deactivate,
// SetObjects(0) or SetPageSite(null): the page takes its dialog down first,
// then lets go of its site and its object; messages to the parent after that
// reach nothing of the freed page.
TEST_F(PropertyPageTest, LastReleaseOfAnActivePageCleansUp) {
  ComPtr<CountingSite> site = CountingSite::Make();
  ASSERT_HR(S_OK, page->SetPageSite(site.Get()));
  ASSERT_HR(S_OK, Attach());
  ASSERT_HR(S_OK, page->Activate(parent.get(), &rect, FALSE));
  HWND dialog = Dialog();
  ASSERT_NE(nullptr, dialog);
  probe.Reset();
  page.Reset();
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_EQ(1, site->References());
  RedrawWindow(parent.get(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

// The dialog destroyed with its parent while the page still lives: the page
// hears the dialog's destruction and no longer counts as active.
TEST_F(PropertyPageTest, DialogDestroyedWithItsParentLeavesThePageInactive) {
  ASSERT_HR(S_OK, Attach());
  auto* doomed = new ParentWindow;
  ASSERT_HR(S_OK, page->Activate(doomed->get(), &rect, FALSE));
  delete doomed;
  EXPECT_EQ(1, Counts().destroy);
  EXPECT_HR(E_UNEXPECTED, page->Deactivate()) << "nothing left to deactivate";
  ASSERT_HR(S_OK, page->Activate(parent.get(), &rect, FALSE)) << "and it can be activated again";
  EXPECT_HR(S_OK, page->Deactivate());
}

}  // namespace

}  // namespace sombrevox
