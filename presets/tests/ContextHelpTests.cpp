// The editor's help through the platform's real viewer, with the help file
// built beside the module: the Help menu item and F1 open the topics the page
// asks for, the file's jumps lead to them, closing the page closes the
// viewer; without a help file the viewer says so and shows nothing.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "ContextHelp.h"
#include "HelpViewer.h"
#include "PluginSettings.h"
#include "ResourceIds.h"
#include "TestSupport.h"
#include "WindowWaits.h"

using namespace sombrevox;
using namespace sombrevox::test;

namespace {

const bool installed = InstallTestEnvironment(COINIT_APARTMENTTHREADED);

// The built module, loaded so that the help file is looked for beside it.
HMODULE BuiltModule() {
  static const HMODULE module = LoadLibraryA(SOMBREVOX_MODULE_PATH);
  return module;
}

// Answers the viewer's question about a missing help file with No, from a
// thread of its own while the test waits in WinHelpA (the viewer asks while
// it handles the request); ends the viewer instead when no question comes.
class MissingFileAnswer {
 public:
  MissingFileAnswer() : thread_([this] { Answer(); }) {}
  ~MissingFileAnswer() {
    if (thread_.joinable()) thread_.join();
  }
  // The question asked, once WinHelpA has returned.
  std::string Question() {
    thread_.join();
    return question_;
  }

 private:
  void Answer() {
    const bool asked = WaitUntil([this] {
      for (const HWND box : TopLevelWindows("#32770", true)) {
        DWORD id = 0;
        GetWindowThreadProcessId(box, &id);
        if (id == GetCurrentProcessId()) continue;
        question_ = WindowText(GetDlgItem(box, 0xFFFF));
        PostMessageA(box, WM_COMMAND, IDNO, 0);
        return true;
      }
      return false;
    });
    if (!asked) EndViewer();
  }

  std::string question_;
  std::thread thread_;
};

// A page window with controls under the ids the page gives them.
class ContextHelp : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(BuiltModule(), nullptr);
    // Without the file the viewer would stop every request with a question.
    char path[MAX_PATH];
    HelpFilePath(BuiltModule(), path);
    ASSERT_NE(GetFileAttributesA(path), INVALID_FILE_ATTRIBUTES) << path;
    page_ = CreateWindowExA(0, "STATIC", "page", WS_POPUP | WS_VISIBLE, 100, 100, 430, 110, nullptr, nullptr, nullptr,
                            nullptr);
    ASSERT_NE(page_, nullptr) << "no page window, error " << GetLastError();
  }
  void TearDown() override {
    // As the page does when its window is destroyed; the viewer then ends.
    ShowContextHelp(page_, nullptr, kContextHelpTopics, BuiltModule());
    if (!WaitUntil(ViewerEnded)) {
      ADD_FAILURE() << "the viewer stayed";
      EndViewer();
    }
    DestroyWindow(page_);
  }

  HWND Control(int id) {
    return CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 20, 20, page_,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
  }
  // What F1 over `control` sends the page.
  static HELPINFO F1Over(HWND control) {
    HELPINFO info{};
    info.cbSize = sizeof info;
    info.iContextType = HELPINFO_WINDOW;
    info.iCtrlId = GetDlgCtrlID(control);
    info.hItemHandle = control;
    GetCursorPos(&info.MousePos);
    return info;
  }
  BOOL F1(HWND control, HMODULE module = BuiltModule()) {
    const HELPINFO request = F1Over(control);
    return ShowContextHelp(page_, &request, kContextHelpTopics, module);
  }

  HWND page_ = nullptr;
};

}  // namespace

TEST_F(ContextHelp, HelpMenuItemOpensTheGeneralTopic) {
  EXPECT_TRUE(OpenHelp(page_, BuiltModule()));
  ASSERT_TRUE(WaitUntil([] { return Shows("Sombrevox Light 2.0"); })) << ShownText();
  char caption[64] = "";
  GetWindowTextA(Viewer(), caption, sizeof caption);
  EXPECT_STREQ(caption, "Sombrevox Light Help");
  EXPECT_NE(ShownText().find("The four parameters"), std::string::npos);
}

// Each listed control shows its own topic: the topics sit in different
// blocks of the file, so this also walks its topic offsets.
TEST_F(ContextHelp, F1OverAListedControlShowsItsTopic) {
  const struct {
    int id;
    const char* title;
  } controls[] = {
      {IDC_VALUE, "The value knob"}, {IDC_LEVEL, "The level fader"},           {IDC_SELECT_LEFT, "The select buttons"},
      {IDC_DISPLAY, "The display"},  {IDC_SELECT_RIGHT, "The select buttons"},
  };
  for (const auto& c : controls) {
    EXPECT_TRUE(F1(Control(c.id))) << c.id;
    EXPECT_TRUE(WaitUntil([&] { return Shows(c.title); })) << c.id << " shows: " << ShownText().substr(0, 40);
  }
}

TEST_F(ContextHelp, F1ElsewhereShowsTheGeneralTopic) {
  const HWND knob = Control(IDC_VALUE);
  F1(knob);
  ASSERT_TRUE(WaitUntil([] { return Shows("The value knob"); }));
  F1(Control(300));
  EXPECT_TRUE(WaitUntil([] { return Shows("Sombrevox Light 2.0"); })) << "an unlisted control";

  F1(knob);
  ASSERT_TRUE(WaitUntil([] { return Shows("The value knob"); }));
  HELPINFO menu = F1Over(knob);
  menu.iContextType = HELPINFO_MENUITEM;
  EXPECT_TRUE(ShowContextHelp(page_, &menu, kContextHelpTopics, BuiltModule()));
  EXPECT_TRUE(WaitUntil([] { return Shows("Sombrevox Light 2.0"); })) << "a menu item";
}

// A click on the general topic's "value knob" jump shows the knob's topic:
// the viewer finds the jump's name in the file's context table.
TEST_F(ContextHelp, JumpsLeadToTheControlsTopics) {
  OpenHelp(page_, BuiltModule());
  ASSERT_TRUE(WaitUntil([] { return Shows("Sombrevox Light 2.0"); }));
  const HWND text = ChildWindows(Viewer(), "RichEdit").front();
  // Character positions count a paragraph end as one character.
  std::string shown = ShownText();
  for (size_t at; (at = shown.find("\r\n")) != std::string::npos;) shown.erase(at + 1, 1);
  const LRESULT corner = SendMessageA(text, EM_POSFROMCHAR, shown.find("value knob") + 2, 0);
  const LPARAM point = MAKELPARAM(LOWORD(corner) + 2, HIWORD(corner) + 5);
  PostMessageA(text, WM_LBUTTONDOWN, MK_LBUTTON, point);
  PostMessageA(text, WM_LBUTTONUP, 0, point);
  EXPECT_TRUE(WaitUntil([] { return Shows("The value knob"); })) << ShownText().substr(0, 40);
}

TEST_F(ContextHelp, ClosingForThePageEndsTheViewer) {
  OpenHelp(page_, BuiltModule());
  ASSERT_TRUE(WaitUntil([] { return Viewer() != nullptr; }));
  EXPECT_TRUE(ShowContextHelp(page_, nullptr, kContextHelpTopics, BuiltModule()));
  EXPECT_TRUE(WaitUntil(ViewerEnded));
}

// Beside the test program there is no help file: the viewer says so (the
// page's thread waits for the answer), shows nothing and ends.
TEST_F(ContextHelp, WithoutAHelpFileTheViewerAsksAndShowsNothing) {
  const HMODULE self = GetModuleHandleA(nullptr);
  char path[MAX_PATH];
  HelpFilePath(self, path);
  ASSERT_EQ(GetFileAttributesA(path), INVALID_FILE_ATTRIBUTES) << path;

  MissingFileAnswer answer;
  F1(Control(IDC_VALUE), self);
  EXPECT_NE(answer.Question().find(path), std::string::npos) << answer.Question();
  EXPECT_EQ(Viewer(), nullptr);
  EXPECT_TRUE(WaitUntil(ViewerEnded));
}
