// The Preferences dialog on real filters from the built module: its layout,
// its check box committed by OK only, and two dialogs for two filters.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "DialogTestSupport.h"
#include "PluginSettings.h"
#include "PreferencesDialog.h"
#include "ResourceIds.h"

using namespace sombrevox;
using namespace sombrevox::test;

namespace {

class PreferencesDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(filter_.Link(), nullptr); }
  INT_PTR Show(EditorLink* link, HWND owner) { return ShowPreferencesDialog(ResourceModule(), owner, link); }
  INT_PTR Show() { return Show(filter_.Link(), page_.get()); }
  PluginSettings& Settings() { return *filter_.Link()->settings; }

  FilterUnderTest filter_;
  PageWindow page_;
};

HWND PageOf(HWND dialog) { return FindWindowExA(dialog, nullptr, "#32770", nullptr); }
HWND BoxOf(HWND dialog) { return GetDlgItem(PageOf(dialog), IDC_SHOW_PRESENTATION); }
bool BoxChecked(HWND dialog) { return SendMessageA(BoxOf(dialog), BM_GETCHECK, 0, 0) == BST_CHECKED; }
void ClickBox(HWND dialog) { SendMessageA(BoxOf(dialog), BM_CLICK, 0, 0); }

RECT ClientRectOf(HWND window, HWND dialog) {
  RECT r;
  GetWindowRect(window, &r);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

TEST_F(PreferencesDialogTest, OkCommitsTheBoxAndCancelLeavesTheSetting) {
  Settings().showPresentation = TRUE;
  Settings().pendingShowPresentation = FALSE;
  ModalDriver driver;
  driver.Then([](HWND dialog) {
    EXPECT_EQ(WindowText(dialog), "Preferences");
    char tab[16] = "";
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = tab;
    item.cchTextMax = sizeof tab;
    SendDlgItemMessageA(dialog, IDC_PREFS_TABS, TCM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ(tab, "Misc");
    EXPECT_EQ(ItemText(PageOf(dialog), IDC_SHOW_PRESENTATION), "&Show startup presentation");
    EXPECT_TRUE(BoxChecked(dialog)) << "the setting, not the stale pending value";
    EXPECT_EQ(GetFocus(), BoxOf(dialog));
    ClickBox(dialog);
    EXPECT_FALSE(BoxChecked(dialog));
    PressButton(dialog, IDCANCEL);
  });
  EXPECT_EQ(Show(), IDCANCEL);
  EXPECT_EQ(Settings().showPresentation, TRUE);

  driver.Then([](HWND dialog) {
    EXPECT_TRUE(BoxChecked(dialog));
    ClickBox(dialog);
    PressButton(dialog, IDOK);
  });
  EXPECT_EQ(Show(), IDOK);
  EXPECT_EQ(Settings().showPresentation, FALSE);

  driver.Then([](HWND dialog) {
    EXPECT_FALSE(BoxChecked(dialog));
    ClickBox(dialog);
    SendMessageA(dialog, WM_CLOSE, 0, 0);  // the close box cancels
  });
  EXPECT_EQ(Show(), IDCANCEL);
  EXPECT_EQ(Settings().showPresentation, FALSE);
}

// The tab control at (7, 7) around the page, the buttons one row 7 pixels
// below it with Cancel flush right and OK 15 pixels to its left, and the
// dialog fitted with 7 pixels to spare.
TEST_F(PreferencesDialogTest, TabControlAndButtonsArePlacedAroundThePage) {
  ModalDriver driver;
  driver.Then([](HWND dialog) {
    const HWND tabControl = GetDlgItem(dialog, IDC_PREFS_TABS);
    const RECT tab = ClientRectOf(tabControl, dialog);
    EXPECT_EQ(tab.left, 7);
    EXPECT_EQ(tab.top, 7);
    RECT display = tab;
    SendMessageA(tabControl, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
    const RECT page = ClientRectOf(PageOf(dialog), dialog);
    RECT pageSize{0, 0, 186, 94};
    MapDialogRect(dialog, &pageSize);
    EXPECT_EQ(page.left, display.left);
    EXPECT_EQ(page.top, display.top);
    EXPECT_EQ(display.right - display.left, pageSize.right) << "the display area fits the page";
    EXPECT_EQ(display.bottom - display.top, pageSize.bottom);

    const RECT cancel = ClientRectOf(GetDlgItem(dialog, IDCANCEL), dialog);
    const RECT ok = ClientRectOf(GetDlgItem(dialog, IDOK), dialog);
    EXPECT_EQ(cancel.right, tab.right);
    EXPECT_EQ(cancel.top, tab.bottom + 7);
    EXPECT_EQ(ok.top, cancel.top);
    EXPECT_EQ(ok.left, tab.right - 2 * (cancel.right - cancel.left) - 15);
    RECT client;
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, tab.right + 7);
    EXPECT_EQ(client.bottom, cancel.bottom + 7);
    PressButton(dialog, IDCANCEL);
  });
  EXPECT_EQ(Show(), IDCANCEL);
}

// A second Preferences dialog, for another filter, opened while the first is
// up: each writes to its own filter's settings.
TEST_F(PreferencesDialogTest, TwoDialogsEditTheirOwnFilters) {
  FilterUnderTest other;
  ASSERT_NE(other.Link(), nullptr);
  Settings().showPresentation = TRUE;
  other.Link()->settings->showPresentation = TRUE;
  ModalDriver driver;
  driver.Then([&](HWND first) {
    driver.Then([](HWND second) {
      ClickBox(second);
      PressButton(second, IDOK);
    });
    EXPECT_EQ(Show(other.Link(), first), IDOK);
    ClickBox(first);
    PressButton(first, IDOK);
  });
  EXPECT_EQ(Show(), IDOK);
  EXPECT_EQ(Settings().showPresentation, FALSE);
  EXPECT_EQ(other.Link()->settings->showPresentation, FALSE);
}

}  // namespace
