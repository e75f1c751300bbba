// What the page leaves behind: a value-entry popup that outlives its page,
// its filter and the module's last object; the controls' window classes
// gone with the module; no GDI object left after fifty openings.
#include <gtest/gtest.h>

#include "ControlMessages.h"
#include "GdiObjectCounter.h"
#include "GuiTestSupport.h"
#include "PageTestSupport.h"
#include "ResourceIds.h"
#include "ReverbParams.h"
#include "TestSupport.h"
#include "WindowWaits.h"

namespace sombrevox::test {
namespace {

using PageHygieneTest = PageTest;

constexpr DWORD kPopupTimeoutMs = 5000;

// The value-entry popup: this process's only shown top-level dialog.
HWND Popup() {
  for (HWND window : TopLevelWindows("#32770", true)) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId()) return window;
  }
  return nullptr;
}

TEST_F(PageHygieneTest, ValueEntryPopupOutlivesThePageTheFilterAndTheModule) {
  Open();
  ASSERT_TRUE(WaitReady());
  const HMODULE module = GetModuleHandleA(kModuleName);
  ASSERT_TRUE(module);
  // Two double-clicks queued before either is handled open one popup.
  PostMessageA(Item(IDC_VALUE), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(40, 40));
  PostMessageA(Item(IDC_LEVEL), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(11, 40));
  ASSERT_TRUE(PumpUntil([] { return Popup() != nullptr; }, kPopupTimeoutMs));
  HWND popup = Popup();
  const DWORD thread = GetWindowThreadProcessId(popup, nullptr);
  PumpMessages();
  EXPECT_EQ(CountProcessWindows("#32770"), 1);

  SetWindowTextA(GetDlgItem(popup, IDC_VALUE_EDIT), "0,1");

  // The host closes the page and lets go of it and of the filter; the popup
  // closes with the page, applying nothing, and whatever reaches it later
  // finds it gone.
  Close();
  filter_.Reset();
  link_ = nullptr;
  CoFreeUnusedLibrariesEx(0, 0);
  PostMessageA(popup, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(PumpUntilThreadEnds(thread, kPopupTimeoutMs));
  EXPECT_FALSE(IsWindow(popup));
  EXPECT_EQ(CountProcessWindows("#32770"), 0);
  EXPECT_EQ(Param(kMix), 0.5) << "the popup applied a value after its page had closed";
  settings_.Reset();

  // With the popup's hold on it gone, the module unloads (asked without the
  // ten minutes COM otherwise grants a "Both" module), and its controls'
  // classes go with it.
  CoFreeUnusedLibrariesEx(0, 0);
  EXPECT_EQ(GetModuleHandleA(kModuleName), nullptr) << "the module is still loaded";
  WNDCLASSA stale{};
  for (const char* name : {kKnobClass, kSliderClass, kDisplayClass})
    EXPECT_FALSE(GetClassInfoA(module, name, &stale)) << name << " outlived its module";
}

TEST_F(PageHygieneTest, OpeningAndClosingFiftyTimesLeavesNoGdiObject) {
  Open();
  ASSERT_TRUE(WaitReady());
  Close();
  HMODULE module = nullptr;
  ASSERT_TRUE(GetModuleHandleExA(0, kModuleName, &module));
  {
    GdiObjectCounter counter(module);
    ASSERT_TRUE(counter.Installed());
    const int objects = counter.LiveObjects(), contexts = counter.LiveContexts();
    for (int round = 0; round < 50; ++round) {
      Open();
      ASSERT_TRUE(WaitReady());
      Click(IDC_SELECT_RIGHT);
      RedrawWindow(Page(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
      Close();
      PumpMessages();
      ASSERT_EQ(counter.LiveObjects(), objects) << "round " << round;
    }
    EXPECT_EQ(counter.LiveContexts(), contexts);
    EXPECT_EQ(counter.DeletedWhileSelected(), 0);
  }
  FreeLibrary(module);
}

}  // namespace
}  // namespace sombrevox::test
