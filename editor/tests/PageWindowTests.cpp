// The page in a real window: controls and menu only once the display is
// ready, the startup presentation and the About text dialog only on a
// filter's first opening, the select buttons along the edit cycle, full
// refreshes from the filter's notifications with the low-pass kept under the
// output rate's ceiling, the help, and the settings stored when the window
// closes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ControlMessages.h"
#include "GuiTestSupport.h"
#include "HelpViewer.h"
#include "ModalDriver.h"
#include "PageTestSupport.h"
#include "ResourceIds.h"
#include "ReverbParams.h"
#include "SettingsAccess.h"
#include "TestSupport.h"
#include "WindowWaits.h"

namespace sombrevox::test {
namespace {

class PageWindowTest : public PageTest {
 protected:
  // The knob back on "Mix" showing the filter's mix, the slider on its level.
  void ExpectRefreshed() {
    EXPECT_EQ(link_->selectedParam, kMix);
    EXPECT_EQ(Position(IDC_VALUE), PositionFromValue(settings_.Get(), kMix));
    EXPECT_EQ(Position(IDC_LEVEL), PositionFromValue(settings_.Get(), kLevel));
  }
};

constexpr DWORD kNotifiedTimeoutMs = 5000;
const int kControlIds[] = {IDC_LEVEL, IDC_VALUE, IDC_SELECT_LEFT, IDC_SELECT_RIGHT, IDC_DISPLAY};

int EnabledControls(HWND page) {
  int enabled = 0;
  for (int id : kControlIds) enabled += IsWindowEnabled(GetDlgItem(page, id)) ? 1 : 0;
  return enabled;
}

// Answers the About text dialog with OK and notes that it came.
ModalDriver::Step AnswerAboutText(bool* shown) {
  return [shown](HWND dialog) {
    *shown = true;
    EXPECT_EQ(WindowText(dialog), "Sombrevox Light");
    EXPECT_NE(ItemText(dialog, IDC_ABOUT_TEXT).find("Sombrevox Light"), std::string::npos);
    PressButton(dialog, IDOK);
  };
}

TEST_F(PageWindowTest, PresentationAndAboutTextOnlyOnTheFirstOpening) {
  link_->firstOpen = 1;
  link_->settings->showPresentation = TRUE;
  bool aboutShown = false;
  {
    ModalDriver driver;
    driver.Then(AnswerAboutText(&aboutShown));
    Open();
    HWND page = Page();
    EXPECT_EQ(SendMessageA(Item(IDC_DISPLAY), DISPLAY_GETMODE, 0, 0), 1) << "the intro runs";
    EXPECT_EQ(EnabledControls(page), 0) << "disabled until the display is ready";
    ContextMenuProbe menu;
    EXPECT_FALSE(menu.Opens(page, {200, 10})) << "no menu before the display is ready";

    ASSERT_TRUE(WaitReady());
    EXPECT_TRUE(aboutShown);
    EXPECT_EQ(EnabledControls(page), 5);
    EXPECT_EQ(link_->pageReady, 1);
    EXPECT_EQ(link_->firstOpen, 0);
    EXPECT_TRUE(menu.Opens(page, {200, 10})) << "the menu once ready";
    EXPECT_FALSE(IsMenu(menu.Menu())) << "the menu is destroyed after use";
    EXPECT_FALSE(menu.Opens(page, {500, 10})) << "a point outside the page is the frame's";
    Close();
  }
  // Opened again: neither the intro nor the About text dialog (the driver
  // has no step left: a dialog would fail the test).
  ModalDriver driver;
  Open();
  EXPECT_EQ(SendMessageA(Item(IDC_DISPLAY), DISPLAY_GETMODE, 0, 0), 0);
  ASSERT_TRUE(WaitReady());
  EXPECT_EQ(EnabledControls(Page()), 5);
  Close();
}

TEST_F(PageWindowTest, WithoutThePresentationTheAboutTextStillComes) {
  link_->firstOpen = 1;
  link_->settings->showPresentation = FALSE;
  bool aboutShown = false;
  ModalDriver driver;
  driver.Then(AnswerAboutText(&aboutShown));
  Open();
  EXPECT_EQ(SendMessageA(Item(IDC_DISPLAY), DISPLAY_GETMODE, 0, 0), 0) << "no intro";
  ASSERT_TRUE(WaitReady());
  EXPECT_TRUE(aboutShown);
  EXPECT_EQ(link_->firstOpen, 0);
}

TEST_F(PageWindowTest, SelectButtonsStepAlongTheEditCycle) {
  ReverbParams params{100, 500, 4000, 0.8, 2500, 0.6, 0.3, -4};
  settings_->SetParams(&params);
  Open();
  ASSERT_TRUE(WaitReady());
  ASSERT_EQ(link_->selectedParam, kMix);
  // Right: "Predly", "Decay", "LP Cut", back to "Mix"; the knob shows each.
  for (int expected : {kPredelay, kDecay, kLowpass, kMix}) {
    Click(IDC_SELECT_RIGHT);
    EXPECT_EQ(link_->selectedParam, expected);
    EXPECT_EQ(Position(IDC_VALUE), PositionFromValue(settings_.Get(), expected)) << "index " << expected;
  }
  Click(IDC_SELECT_LEFT);
  EXPECT_EQ(link_->selectedParam, kLowpass);
  ReverbParams after{};
  settings_->GetParams(&after);
  EXPECT_EQ(after.predelayMs, params.predelayMs) << "selecting writes nothing";
}

TEST_F(PageWindowTest, RefreshesAfterPresetsStreamLoadsAndFormatChanges) {
  // Unconnected, the output rate is unknown: the cut-off stays as it is.
  settings_->SetLowpass(12000);
  Open();
  ASSERT_TRUE(WaitReady());
  EXPECT_EQ(Param(kLowpass), 12000);
  auto selectedIsMix = [this] { return link_->selectedParam == kMix; };

  Click(IDC_SELECT_RIGHT);
  ASSERT_HR(S_OK, Query<IFactoryPresets>(filter_.Get(), IID_IFactoryPresets)->SelectPreset(14));
  ASSERT_TRUE(PumpUntil(selectedIsMix, kNotifiedTimeoutMs)) << "after a preset";
  ExpectRefreshed();

  Click(IDC_SELECT_RIGHT);
  ComPtr<IUnknown> source = CreateFilter();
  ComPtr<IReverbSettings> sourceSettings = Query<IReverbSettings>(source.Get(), IID_IReverbSettings);
  sourceSettings->SetMix(0.25);
  sourceSettings->SetLevel(-6);
  ComPtr<IPersistStream> save, load;
  ASSERT_HR(S_OK, source.As(&save));
  ASSERT_HR(S_OK, filter_.As(&load));
  ComPtr<IStream> stream;
  ASSERT_HR(S_OK, CreateStreamOnHGlobal(nullptr, TRUE, &stream));
  ASSERT_HR(S_OK, save->Save(stream.Get(), TRUE));
  stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr);
  ASSERT_HR(S_OK, load->Load(stream.Get()));
  ASSERT_TRUE(PumpUntil(selectedIsMix, kNotifiedTimeoutMs)) << "after a stream load";
  ExpectRefreshed();
  EXPECT_EQ(Position(IDC_VALUE), 250);

  // Joined at 22050 Hz: the next full refresh lowers the cut-off to 10 kHz.
  Click(IDC_SELECT_RIGHT);
  settings_->SetLowpass(16000);
  ConnectedFilter connected(filter_.Get(), 22050);
  ASSERT_TRUE(PumpUntil(selectedIsMix, kNotifiedTimeoutMs)) << "after the output format";
  ExpectRefreshed();
  EXPECT_EQ(Param(kLowpass), 10000);
}

// F1 over the knob asks for the knob's topic, the Help item for the general
// one; the viewer goes with the page's window.
TEST_F(PageWindowTest, HelpFromThePageClosesWithItsWindow) {
  Open();
  ASSERT_TRUE(WaitReady());
  HELPINFO f1{};
  f1.cbSize = sizeof f1;
  f1.iContextType = HELPINFO_WINDOW;
  f1.iCtrlId = IDC_VALUE;
  f1.hItemHandle = Item(IDC_VALUE);
  SendMessageA(Page(), WM_HELP, 0, reinterpret_cast<LPARAM>(&f1));
  EXPECT_TRUE(WaitUntil([] { return Shows("The value knob"); })) << ShownText().substr(0, 40);
  SendMessageA(Page(), WM_COMMAND, ID_HELP, 0);
  EXPECT_TRUE(WaitUntil([] { return Shows("Sombrevox Light 2.0"); })) << ShownText().substr(0, 40);
  ASSERT_HR(S_OK, page_->Deactivate());
  if (!WaitUntil(ViewerEnded)) {
    ADD_FAILURE() << "the viewer stayed";
    EndViewer();
  }
}

TEST_F(PageWindowTest, SettingsStoredWhenTheWindowCloses) {
  DeleteValue(HKEY_LOCAL_MACHINE, kSettingsKey, "ShowPresentation");
  DeleteValue(HKEY_LOCAL_MACHINE, kSettingsKey, "PresetsBank");
  Open();
  ASSERT_TRUE(WaitReady());
  link_->settings->showPresentation = FALSE;
  const char chosen[] = "C:\\banks\\chosen.prs";
  std::memcpy(link_->settings->presetsBankPath, chosen, sizeof chosen);
  DWORD show = 1;
  std::string bank;
  EXPECT_FALSE(StoredDword("ShowPresentation", &show)) << "nothing before the window closes";
  ASSERT_HR(S_OK, page_->Deactivate());
  EXPECT_TRUE(StoredDword("ShowPresentation", &show));
  EXPECT_EQ(show, 0u);
  EXPECT_TRUE(StoredString("PresetsBank", &bank));
  EXPECT_EQ(bank, "C:\\banks\\chosen.prs");
}

}  // namespace
}  // namespace sombrevox::test
