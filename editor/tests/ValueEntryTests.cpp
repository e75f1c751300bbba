// The value-entry popup on its own thread: typed values applied, Escape,
// one popup at a time, and a popup that outlives its page and its filter.
#include <gtest/gtest.h>

#include <string>

#include "ControlMessages.h"
#include "EditorWindowFixture.h"
#include "GuiTestSupport.h"
#include "ModalDriver.h"
#include "ReverbParams.h"
#include "ResourceIds.h"
#include "TestSupport.h"
#include "ValueEntryPopup.h"

namespace sombrevox::test {
namespace {

constexpr DWORD kPopupTimeoutMs = 5000;

bool PopupShown() { return ValueEntryWindow() && IsWindowVisible(ValueEntryWindow()); }

class ValueEntryTest : public EditorWindowTest {
 protected:
  // Double-clicks `control` and waits for the popup to be shown.
  HWND OpenOn(HWND control, POINT at) {
    PostMouse(control, WM_LBUTTONDBLCLK, at);
    return PumpUntil(PopupShown, kPopupTimeoutMs) ? ValueEntryWindow() : nullptr;
  }
  static std::string Text(HWND popup) { return ItemText(popup, IDC_VALUE_EDIT); }
  // Types `text` and a key (VK_RETURN or VK_ESCAPE) into the popup, then
  // waits for its thread to end (pumping: it moves the control through this
  // thread).
  static bool Type(HWND popup, const char* text, WPARAM key) {
    const DWORD thread = GetWindowThreadProcessId(popup, nullptr);
    HWND edit = GetDlgItem(popup, IDC_VALUE_EDIT);
    if (text) SetWindowTextA(edit, text);
    PostMessageA(edit, WM_KEYDOWN, key, 1);
    return PumpUntilThreadEnds(thread, kPopupTimeoutMs) && !IsValueEntryOpen();
  }
};

TEST_F(ValueEntryTest, OpensOnItsOwnThreadOverTheControlWithTheShownValue) {
  StartControls();
  HWND popup = OpenOn(knob_, {40, 40});
  ASSERT_TRUE(popup);
  EXPECT_NE(GetWindowThreadProcessId(popup, nullptr), GetCurrentThreadId());
  EXPECT_EQ(Text(popup), "0.50");
  RECT placed{}, control{};
  GetWindowRect(popup, &placed);
  GetWindowRect(knob_, &control);
  EXPECT_EQ(placed.left, control.left);
  EXPECT_EQ(placed.top, control.top);

  // The screenshot: the page with the popup drawn where it stands.
  Image page = CaptureClient(window_->get());
  const Image box = CaptureClient(popup);
  POINT origin = {0, 0};
  ClientToScreen(popup, &origin);
  ScreenToClient(window_->get(), &origin);
  for (int y = 0; y < box.height; ++y)
    for (int x = 0; x < box.width; ++x) page.pixels[(origin.y + y) * page.width + origin.x + x] = box.At(x, y);
  page.SavePng(ScreenshotPath("value-entry-open"));
  EXPECT_TRUE(Type(popup, nullptr, VK_ESCAPE));
}

TEST_F(ValueEntryTest, AppliesTypedValuesAndMovesTheControl) {
  StartControls();
  struct Typed {
    bool onKnob;
    int index;
    const char* shown;
    const char* text;
    double value;
    int position;
  };
  const Typed cases[] = {
      {true, kMix, "0.50", "0,25", 0.25, 250},    // a decimal comma reads as a point
      {true, kPredelay, "32", "300", 250, 1000},  // clamped to what the display shows
      {false, kLevel, "0.00", "8", 3, 0},
      {false, kLevel, "3.00", "loud", 0, 49},  // no digits reads as 0; read back within one step
  };
  int entered = 0;
  for (const Typed& typed : cases) {
    HWND control = typed.onKnob ? knob_ : slider_;
    if (typed.onKnob) SendMessageA(knob_, KNOB_SETPARAM, typed.index, 0);
    HWND popup = OpenOn(control, typed.onKnob ? POINT{40, 40} : POINT{11, 40});
    ASSERT_TRUE(popup) << typed.text;
    EXPECT_EQ(Text(popup), typed.shown);
    ASSERT_TRUE(Type(popup, typed.text, VK_RETURN)) << typed.text;
    EXPECT_EQ(Param(typed.index), typed.value) << typed.text;
    EXPECT_EQ(Position(control), typed.position) << typed.text;
    EXPECT_EQ(window_->Received(WM_VALUE_ENTERED), ++entered);
  }
}

TEST_F(ValueEntryTest, EscapeClosesWithoutChange) {
  StartControls();
  ReverbParams before{};
  settings_->GetParams(&before);
  HWND popup = OpenOn(knob_, {40, 40});
  ASSERT_TRUE(popup);
  ASSERT_TRUE(Type(popup, "0,9", VK_ESCAPE));
  ReverbParams after{};
  settings_->GetParams(&after);
  EXPECT_EQ(after.mix, before.mix);
  EXPECT_EQ(Position(knob_), 500);
  EXPECT_EQ(window_->Received(WM_VALUE_ENTERED), 0);
  EXPECT_EQ(ValueEntryWindow(), nullptr);
}

TEST_F(ValueEntryTest, NeverOpensTwice) {
  StartControls();
  // Two double-clicks queued before either is handled.
  PostMessageA(knob_, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(40, 40));
  PostMessageA(slider_, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(11, 40));
  ASSERT_TRUE(PumpUntil(PopupShown, kPopupTimeoutMs));
  HWND popup = ValueEntryWindow();
  EXPECT_EQ(Text(popup), "0.50") << "the knob's popup, not the slider's";
  // One more while it is open.
  PostMouse(knob_, WM_LBUTTONDBLCLK, {40, 40});
  EXPECT_EQ(ValueEntryWindow(), popup);
  EXPECT_EQ(CountProcessWindows("#32770"), 1);
  EXPECT_TRUE(Type(popup, nullptr, VK_ESCAPE));
  EXPECT_EQ(CountProcessWindows("#32770"), 0);
}

TEST_F(ValueEntryTest, ClosedForItsPageOnly) {
  StartControls();
  HWND popup = OpenOn(knob_, {40, 40});
  ASSERT_TRUE(popup);
  const DWORD thread = GetWindowThreadProcessId(popup, nullptr);
  CloseValueEntryPopup(knob_);  // not a page of this popup
  PumpMessages();
  EXPECT_EQ(ValueEntryWindow(), popup);
  CloseValueEntryPopup(window_->get());
  EXPECT_TRUE(PumpUntilThreadEnds(thread, kPopupTimeoutMs));
  EXPECT_FALSE(IsValueEntryOpen());
  EXPECT_EQ(Param(kMix), 0.5);

  // A close asked for before the popup's thread has made its window.
  PostMouse(knob_, WM_LBUTTONDBLCLK, {40, 40});
  CloseValueEntryPopup(window_->get());
  EXPECT_TRUE(PumpUntil([] { return !IsValueEntryOpen(); }, kPopupTimeoutMs));
  EXPECT_EQ(CountProcessWindows("#32770"), 0);
}

TEST_F(ValueEntryTest, OutlivesItsPageAndItsFilter) {
  StartControls();
  HWND popup = OpenOn(knob_, {40, 40});
  ASSERT_TRUE(popup);
  const DWORD thread = GetWindowThreadProcessId(popup, nullptr);
  SetWindowTextA(GetDlgItem(popup, IDC_VALUE_EDIT), "0,1");
  // The page goes with its controls, and the host lets go of the filter.
  window_->Destroy();
  settings_.Reset();
  PumpMessages();
  EXPECT_HR(S_FALSE, module_->CanUnloadNow()) << "the popup holds the filter";
  PostMessageA(popup, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(PumpUntilThreadEnds(thread, kPopupTimeoutMs));
  EXPECT_FALSE(IsWindow(popup));
  EXPECT_FALSE(IsValueEntryOpen());
  EXPECT_HR(S_OK, module_->CanUnloadNow()) << "the popup's reference to the filter was released";
}

}  // namespace
}  // namespace sombrevox::test
