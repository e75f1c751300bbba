// The About panel and the About text dialog on the test screen (1024 x 768),
// with the module's resources.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "AboutPanel.h"
#include "AboutTextDialog.h"
#include "AboutTitle.h"
#include "DialogTestSupport.h"
#include "ResourceIds.h"

using namespace sombrevox;
using namespace sombrevox::test;

namespace {

std::string LoadText(UINT id) {
  char text[128] = "";
  const int length = LoadStringA(ResourceModule(), id, text, sizeof text);
  return std::string(text, length > 0 ? static_cast<std::size_t>(length) : 0);
}

// The title survives the resource compiler whole (no byte of it is NUL) and
// deciphers with its five-character key.
TEST(AboutStrings, TitleDeciphersWithItsKey) {
  std::string title = LoadText(IDS_ABOUT_TITLE);
  const std::string key = LoadText(IDS_ABOUT_KEY);
  EXPECT_EQ(key.size(), 5u);
  ASSERT_EQ(title.size(), 9u);
  DecipherAboutTitle(title.data(), title.size(), key);
  EXPECT_EQ(title, "Sombrevox");
  EXPECT_EQ(LoadText(IDS_VERSION), "Version 2.0");
  EXPECT_LE(LoadText(IDS_NOTICE).size(), 63u);
}

// Pixels of one colour in a band of the panel, read through its own context.
int CountColour(HWND panel, COLORREF colour, int top, int bottom) {
  const HDC dc = GetDC(panel);
  int count = 0;
  for (int y = top; y < bottom; ++y)
    for (int x = 0; x < 220; ++x) count += GetPixel(dc, x, y) == colour;
  ReleaseDC(panel, dc);
  return count;
}

class AboutPanelTest : public ::testing::Test {
 protected:
  PageWindow page_;
};

TEST_F(AboutPanelTest, CentredOnTheScreenAndPaintedWhole) {
  ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
  ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
  ModalDriver driver;
  driver.Then([](HWND panel) {
    RECT client;
    GetClientRect(panel, &client);
    MapWindowPoints(panel, nullptr, reinterpret_cast<POINT*>(&client), 2);
    EXPECT_EQ(client.left, 402);
    EXPECT_EQ(client.top, 274);
    EXPECT_EQ(client.right, 622);
    EXPECT_EQ(client.bottom, 494);
    EXPECT_EQ(WindowFromPoint(POINT{512, 384}), panel);

    UpdateWindow(panel);
    EXPECT_FALSE(GetUpdateRect(panel, nullptr, FALSE)) << "the paint validated the panel";
    EXPECT_GT(CountColour(panel, RGB(254, 250, 240), 0, 27), 20) << "the title";
    EXPECT_GT(CountColour(panel, RGB(30, 30, 70), 210, 220), 5) << "the notice line";
    SendMessageA(panel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(110, 110));
    SendMessageA(panel, WM_LBUTTONUP, 0, MAKELPARAM(110, 110));
  });
  EXPECT_EQ(ShowAboutPanel(ResourceModule(), page_.get()), IDOK);
}

// Only a release that follows a press inside closes the panel; a press
// released outside waits for the next release inside.
TEST_F(AboutPanelTest, ClosesOnAReleaseAfterAPressInside) {
  ModalDriver driver;
  driver.Then([&](HWND panel) {
    SendMessageA(panel, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    EXPECT_TRUE(IsWindowVisible(panel)) << "a release without a press";
    SendMessageA(panel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    SendMessageA(page_.get(), WM_LBUTTONUP, 0, 0);  // released over another window
    EXPECT_TRUE(IsWindowVisible(panel));
    SendMessageA(panel, WM_LBUTTONUP, 0, MAKELPARAM(200, 200));
    EXPECT_FALSE(IsWindowVisible(panel)) << "the next release inside ends it";
  });
  EXPECT_EQ(ShowAboutPanel(ResourceModule(), page_.get()), IDOK);
}

TEST_F(AboutPanelTest, AboutTextDialogShowsTheProductText) {
  ModalDriver driver;
  driver.Then([](HWND dialog) {
    EXPECT_EQ(WindowText(dialog), "Sombrevox Light");
    EXPECT_EQ(ItemText(dialog, IDC_ABOUT_TEXT), kAboutProductText);
    PressButton(dialog, IDOK);
  });
  EXPECT_EQ(ShowAboutTextDialog(ResourceModule(), page_.get()), IDOK);
  driver.Then([](HWND dialog) { SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0); });  // Escape
  EXPECT_EQ(ShowAboutTextDialog(ResourceModule(), page_.get()), IDCANCEL);
}

}  // namespace
