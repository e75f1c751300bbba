#include "EditorWindowFixture.h"

#include <map>

#include "BitmapHelpers.h"
#include "ControlMessages.h"
#include "GuiTestSupport.h"
#include "GdiObjects.h"
#include "KnobControl.h"
#include "ResourceIds.h"
#include "ReverbParams.h"
#include "SettingsAccess.h"
#include "ShowParameters.h"
#include "SliderControl.h"
#include "TestSupport.h"
#include "ValueEntryPopup.h"
#include "WindowPixels.h"

namespace sombrevox::test {
namespace {

const bool installed = InstallTestEnvironment(COINIT_APARTMENTTHREADED);

constexpr char kSkinWindowClass[] = "OV_TestSkinWindow";
constexpr int kSkinWidth = 430;
constexpr int kSkinHeight = 110;

struct ControlPlace {
  int id;
  int x, y, width, height;
};
const ControlPlace kPlaces[] = {
    {IDC_LEVEL, 382, 15, 23, 84},
    {IDC_VALUE, 11, 13, 81, 81},
    {IDC_DISPLAY, 141, 34, 184, 38},
};

std::map<HWND, std::map<UINT, int>>& Received() {
  static std::map<HWND, std::map<UINT, int>> received;
  return received;
}

// Paints as the page paints: the skin, then the controls over it.
void OnPaint(HWND window) {
  PAINTSTRUCT paint;
  BeginPaint(window, &paint);
  PaintResourceBitmap(window, ControlsModule(), IDB_SKIN);
  DrawSlider(GetDlgItem(window, IDC_LEVEL));
  DrawKnob(GetDlgItem(window, IDC_VALUE));
  EndPaint(window, &paint);
}

LRESULT CALLBACK SkinWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      OnPaint(window);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_DISPLAY_READY:
    case WM_VALUE_ENTERED:
      ++Received()[window][message];
      return 0;
    case WM_DESTROY:
      Received().erase(window);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

void RegisterSkinWindow() {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = SkinWindowProc;
  windowClass.hInstance = ControlsModule();
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kSkinWindowClass;
  RegisterClassA(&windowClass);
}

}  // namespace

HINSTANCE ControlsModule() { return GetModuleHandleA(nullptr); }

Image SkinImage() {
  const Bitmap skin(LoadBitmapA(ControlsModule(), MAKEINTRESOURCEA(IDB_SKIN)));
  return ImageOfBitmap(skin.Get());
}

SkinWindow::SkinWindow() {
  // A popup without caption or border: its client area is the skin's size,
  // and no window manager places it anywhere else.
  window_ = CreateWindowExA(0, kSkinWindowClass, "Sombrevox Light test page", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN,
                            100, 100, kSkinWidth, kSkinHeight, nullptr, nullptr, ControlsModule(), nullptr);
  PumpMessages();
}

SkinWindow::~SkinWindow() { Destroy(); }

void SkinWindow::Destroy() {
  if (window_) DestroyWindow(window_);
  window_ = nullptr;
}

int SkinWindow::Received(UINT message) const {
  auto& all = sombrevox::test::Received();
  auto found = all.find(window_);
  if (found == all.end()) return 0;
  auto count = found->second.find(message);
  return count == found->second.end() ? 0 : count->second;
}

HWND CreateControl(HWND parent, const char* className, int id) {
  for (const ControlPlace& place : kPlaces) {
    if (place.id != id) continue;
    return CreateWindowExA(0, className, className, WS_CHILD | WS_DISABLED, place.x, place.y, place.width, place.height,
                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ControlsModule(), nullptr);
  }
  return nullptr;
}

ModuleUnderTest* EditorWindowTest::module_ = nullptr;

void EditorWindowTest::SetUpTestSuite() {
  module_ = new ModuleUnderTest(WindowsPath(SOMBREVOX_DLL_PATH));
  RegisterSkinWindow();
  ASSERT_TRUE(RegisterEditorControls(ControlsModule()));
}

void EditorWindowTest::TearDownTestSuite() {
  delete module_;
  module_ = nullptr;
}

void EditorWindowTest::SetUp() {
  ASSERT_TRUE(module_->Handle()) << "cannot load " << SOMBREVOX_DLL_PATH;
  ASSERT_HR(S_OK, module_->Create(CLSID_SombrevoxLight, IID_IReverbSettings, &settings_));
  window_ = std::make_unique<SkinWindow>();
  ASSERT_TRUE(window_->get());
  slider_ = CreateControl(window_->get(), kSliderClass, IDC_LEVEL);
  knob_ = CreateControl(window_->get(), kKnobClass, IDC_VALUE);
  display_ = CreateControl(window_->get(), kDisplayClass, IDC_DISPLAY);
  ASSERT_TRUE(slider_ && knob_ && display_);
}

void EditorWindowTest::TearDown() {
  // A popup left open by a failed test closes without touching what follows.
  CloseValueEntryPopup(nullptr);
  PumpUntil([] { return !IsValueEntryOpen(); }, 5000);
  window_.reset();
  settings_.Reset();
  PumpMessages();
}

void EditorWindowTest::StartControls(bool intro) {
  SendMessageA(slider_, CTL_SETSETTINGS, reinterpret_cast<WPARAM>(settings_.Get()), 0);
  SendMessageA(knob_, CTL_SETSETTINGS, reinterpret_cast<WPARAM>(settings_.Get()), 0);
  ShowWindow(slider_, SW_SHOWNORMAL);
  SendMessageA(slider_, CTL_SETMIN, 0, 0);
  SendMessageA(slider_, CTL_SETMAX, kSliderPositions, 0);
  ShowWindow(knob_, SW_SHOWNORMAL);
  SendMessageA(knob_, CTL_SETMIN, 0, 0);
  SendMessageA(knob_, CTL_SETMAX, kKnobPositions, 0);
  SendMessageA(display_, DISPLAY_SETMODE, intro ? 1 : 0, 0);
  ShowWindow(display_, SW_SHOWNORMAL);
  SendMessageA(knob_, CTL_SETPOS, static_cast<WORD>(PositionFromValue(settings_.Get(), kMix)), 0);
  SendMessageA(slider_, CTL_SETPOS, static_cast<WORD>(PositionFromValue(settings_.Get(), kLevel)), 0);
  if (intro) return;
  ASSERT_TRUE(PumpUntil([this] { return window_->Received(WM_DISPLAY_READY) > 0; }, 5000));
  for (HWND control : {slider_, knob_, display_}) EnableWindow(control, TRUE);
  ShowParameters(display_, settings_.Get(), kMix);
}

double EditorWindowTest::Param(int index) const {
  ReverbParams params{};
  settings_->GetParams(&params);
  return ParamAt(params, index);
}

std::string ScreenshotPath(const std::string& name) {
  CreateDirectoryA(WindowsPath(SOMBREVOX_SCREENSHOT_DIR).c_str(), nullptr);
  return WindowsPath(std::string(SOMBREVOX_SCREENSHOT_DIR) + "/" + name + ".png");
}

}  // namespace sombrevox::test
