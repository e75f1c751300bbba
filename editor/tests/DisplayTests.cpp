// The display's introduction and drawing, the level meter, and the skin under
// the controls, checked on the pixels of real windows.
#include <gtest/gtest.h>

#include "BitmapHelpers.h"
#include "ControlMessages.h"
#include "DisplayControl.h"
#include "EditorWindowFixture.h"
#include "GdiObjects.h"
#include "GuiTestSupport.h"
#include "ResourceIds.h"
#include "ShowParameters.h"
#include "TestSupport.h"

namespace sombrevox::test {
namespace {

using DisplayTest = EditorWindowTest;
using SkinUnderControlsTest = EditorWindowTest;

constexpr COLORREF kInk = RGB(55, 90, 55);
constexpr COLORREF kUnlit = RGB(136, 184, 31);
constexpr POINT kDisplayPlace = {141, 34};

// Lit meter segments, counted on the display's pixels (column 178, one row of each segment).
int LitSegments(HWND display) {
  const Image image = CaptureClient(display);
  int lit = 0;
  for (int k = 1; k <= 9; ++k) {
    const COLORREF pixel = image.At(178, 27 - 3 * (k - 1));
    EXPECT_TRUE(pixel == kInk || pixel == kUnlit) << "segment " << k << " is neither lit nor unlit";
    lit += pixel == kInk;
  }
  return lit;
}

// Pumps until the display's intro is over, counting its timer ticks; shoots
// the screenshots named for some of them.
int RunIntro(HWND display, const SkinWindow& window, const std::pair<int, const char*> (&shots)[2]) {
  int ticks = 0;
  const ULONGLONG deadline = GetTickCount64() + 10000;
  while (window.Received(WM_DISPLAY_READY) == 0 && GetTickCount64() < deadline) {
    MSG message;
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      MsgWaitForMultipleObjectsEx(0, nullptr, 100, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
      continue;
    }
    DispatchMessageA(&message);
    if (message.hwnd != display || message.message != WM_TIMER) continue;
    ++ticks;
    for (auto [tick, name] : shots)
      if (tick == ticks) CaptureClient(window.get()).SavePng(ScreenshotPath(name));
  }
  return ticks;
}

TEST_F(DisplayTest, IntroEndsWithDisplayReadyAfterItsTimers) {
  StartControls(true);
  EXPECT_EQ(SendMessageA(display_, DISPLAY_GETMODE, 0, 0), 1);
  EXPECT_EQ(window_->Received(WM_DISPLAY_READY), 0);
  const std::pair<int, const char*> shots[] = {{20, "display-intro-rising"}, {70, "display-intro-fading"}};
  // 38 ticks of rising, one of holding, 50 fade frames.
  EXPECT_EQ(RunIntro(display_, *window_, shots), 89);
  EXPECT_EQ(window_->Received(WM_DISPLAY_READY), 1);
  EXPECT_EQ(SendMessageA(display_, DISPLAY_GETMODE, 0, 0), 0);

  // Hidden and shown again: ready at once.
  ShowWindow(display_, SW_HIDE);
  ShowWindow(display_, SW_SHOW);
  PumpMessages();
  EXPECT_EQ(window_->Received(WM_DISPLAY_READY), 3);
}

TEST_F(DisplayTest, BlankPanelIsTheSkinUnderTheDisplay) {
  StartControls();
  const DisplayText blank[kDisplayTextCount] = {};
  DrawDisplay(display_, kDisplayParameters, blank);
  const Image skin = SkinImage().Crop(kDisplayPlace.x, kDisplayPlace.y, 184, 38);
  EXPECT_EQ(CaptureClient(display_).CountDifferences(skin), 0);
}

TEST_F(DisplayTest, ParametersModeShowsTheCycleFromTheSelection) {
  StartControls();
  const Image skin = SkinImage().Crop(kDisplayPlace.x, kDisplayPlace.y, 184, 38);
  ShowParameters(display_, settings_.Get(), 2);  // "LP Cut", "Mix", "Predly", "Decay"
  const Image shown = CaptureClient(display_);
  CaptureClient(window_->get()).SavePng(ScreenshotPath("display-lpcut-selected"));
  // Every column and the level strip hold ink.
  const RECT areas[] = {{0, 0, 41, 25}, {43, 0, 84, 25}, {86, 0, 127, 25}, {129, 0, 170, 25}, {120, 27, 170, 38}};
  for (const RECT& area : areas) {
    const int width = area.right - area.left, height = area.bottom - area.top;
    EXPECT_GT(
        shown.Crop(area.left, area.top, width, height).CountDifferences(skin.Crop(area.left, area.top, width, height)),
        10)
        << "nothing drawn at x " << area.left;
  }
}

TEST_F(DisplayTest, MeterLightsMoreSegmentsTheHigherTheFader) {
  StartControls();
  const std::pair<int, int> cases[] = {{12, 9}, {22, 8}, {72, 0}};  // +3, 0 and -15 dB
  PressAt(slider_, {11, 40});
  for (auto [row, lit] : cases) {
    MoveTo(slider_, {11, row});
    EXPECT_EQ(LitSegments(display_), lit) << "slider row " << row;
  }
  ReleaseAt(slider_, {11, 72});
}

TEST_F(SkinUnderControlsTest, ControlsShowTheSkinWhereTheyDrawNothing) {
  StartControls();
  const Image skin = SkinImage();
  SendMessageA(slider_, CTL_SETPOS, 0, 0);  // the cap in rows 0..23
  const Image slider = CaptureClient(slider_);
  EXPECT_EQ(slider.Crop(0, 24, 23, 60).CountDifferences(skin.Crop(382, 15 + 24, 23, 60)), 0);
  const Image knob = CaptureClient(knob_);
  // The knob images are keyed: the corners are the skin, nothing is pure blue.
  for (POINT corner : {POINT{0, 0}, POINT{80, 0}, POINT{0, 80}, POINT{80, 80}})
    EXPECT_EQ(knob.At(corner.x, corner.y), skin.At(11 + corner.x, 13 + corner.y));
  for (const Image* image : {&slider, &knob})
    for (COLORREF pixel : image->pixels) ASSERT_NE(pixel, kTransparentBlue);
  CaptureClient(window_->get()).SavePng(ScreenshotPath("controls-ready"));
}

TEST(MaskedBlitTest, PureBlueLeavesTheDestinationUnchanged) {
  WindowDc screen(nullptr);
  Bitmap skin(LoadBitmapA(ControlsModule(), MAKEINTRESOURCEA(IDB_SKIN)));
  Bitmap image(CreateCompatibleBitmap(screen.Get(), 16, 16));
  {
    MemoryDc destination(screen.Get()), source(screen.Get());
    Selection onSkin(destination.Get(), skin.Get());
    Selection onImage(source.Get(), image.Get());
    Brush blue(CreateSolidBrush(kTransparentBlue));
    const RECT all = {0, 0, 16, 16};
    FillRect(source.Get(), &all, blue.Get());
    SetPixel(source.Get(), 3, 4, RGB(200, 10, 10));
    SetBkColor(destination.Get(), kTransparentBlue);
    ASSERT_EQ(MaskedBlit(destination.Get(), 100, 50, 16, 16, source.Get(), 0, 0), 1);
    EXPECT_EQ(GetBkColor(destination.Get()), kTransparentBlue) << "the key colour is restored";
  }
  Bitmap original(LoadBitmapA(ControlsModule(), MAKEINTRESOURCEA(IDB_SKIN)));
  const Image before = ImageOfBitmap(original.Get()), after = ImageOfBitmap(skin.Get());
  EXPECT_EQ(after.CountDifferences(before), 1);
  EXPECT_EQ(after.At(103, 54), RGB(200, 10, 10));
}

}  // namespace
}  // namespace sombrevox::test
