#pragma once
// The controls under test as the property page will hold them: a top-level
// window painted with the skin stands in for the page, the knob, the level
// slider and the display sit at the page's places, and they write through
// the settings of a real filter made by the built module.
#include <windows.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ControlMessages.h"
#include "ModuleUnderTest.h"
#include "SombrevoxLight.h"
#include "WindowPixels.h"

namespace sombrevox::test {

using Microsoft::WRL::ComPtr;

// A plain top-level window showing the skin (bitmap 106) at 430 x 110 and
// counting the editor's messages posted to it.
class SkinWindow {
 public:
  SkinWindow();
  ~SkinWindow();
  SkinWindow(const SkinWindow&) = delete;
  SkinWindow& operator=(const SkinWindow&) = delete;
  HWND get() const { return window_; }
  void Destroy();
  // How many WM_DISPLAY_READY or WM_VALUE_ENTERED it has received.
  int Received(UINT message) const;

 private:
  HWND window_ = nullptr;
};

// The module holding the controls' bitmaps and dialog: this program.
HINSTANCE ControlsModule();

// The skin as the resources hold it.
Image SkinImage();

// Where a screenshot goes: "<build folder>/screenshots/<name>.png".
std::string ScreenshotPath(const std::string& name);

// A control at its place on the page, made as the page makes it (child,
// disabled, not yet shown).
HWND CreateControl(HWND parent, const char* className, int id);

// A knob's or a slider's position (CTL_GETPOS).
inline int Position(HWND control) { return static_cast<int>(SendMessageA(control, CTL_GETPOS, 0, 0)); }

class EditorWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  static void TearDownTestSuite();
  void SetUp() override;
  void TearDown() override;

  // Ranges, settings, shown and, once the display is ready, enabled: what the
  // page does when it opens. The display's intro runs when `intro` is set.
  void StartControls(bool intro = false);
  double Param(int index) const;
  static ModuleUnderTest* module_;
  ComPtr<IReverbSettings> settings_;
  std::unique_ptr<SkinWindow> window_;
  HWND slider_ = nullptr;
  HWND knob_ = nullptr;
  HWND display_ = nullptr;
};

}  // namespace sombrevox::test
