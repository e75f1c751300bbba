#include "ModalDriver.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace sombrevox::test {
namespace {

thread_local ModalDriver* activeDriver = nullptr;

bool IsDialogWindow(HWND window) {
  char name[16] = "";
  GetClassNameA(window, name, sizeof name);
  return std::string(name) == "#32770";
}

struct ButtonAt {
  int x;
  int id;
  bool isDefault;
};

BOOL CALLBACK CollectButton(HWND child, LPARAM list) {
  char name[16] = "";
  GetClassNameA(child, name, sizeof name);
  if (_stricmp(name, "Button") != 0 || !IsWindowVisible(child)) return TRUE;
  RECT r;
  GetWindowRect(child, &r);
  const bool isDefault = (GetWindowLongA(child, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
  reinterpret_cast<std::vector<ButtonAt>*>(list)->push_back({r.left, GetDlgCtrlID(child), isDefault});
  return TRUE;
}

BOOL CALLBACK FindIcon(HWND child, LPARAM found) {
  char name[16] = "";
  GetClassNameA(child, name, sizeof name);
  if (_stricmp(name, "Static") == 0 && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
      SendMessageA(child, STM_GETICON, 0, 0) != 0)
    *reinterpret_cast<bool*>(found) = true;
  return TRUE;
}

}  // namespace

MessageBoxSeen ReadMessageBox(HWND box) {
  MessageBoxSeen seen;
  seen.shown = true;
  seen.caption = WindowText(box);
  seen.text = ItemText(box, 0xFFFF);
  std::vector<ButtonAt> buttons;
  EnumChildWindows(box, CollectButton, reinterpret_cast<LPARAM>(&buttons));
  std::sort(buttons.begin(), buttons.end(), [](const ButtonAt& a, const ButtonAt& b) { return a.x < b.x; });
  for (const ButtonAt& b : buttons) {
    seen.buttons.push_back(b.id);
    if (b.isDefault) seen.defaultButton = b.id;
  }
  EnumChildWindows(box, FindIcon, reinterpret_cast<LPARAM>(&seen.icon));
  seen.owner = GetWindow(box, GW_OWNER);
  return seen;
}

ModalDriver::ModalDriver() {
  EXPECT_EQ(activeDriver, nullptr) << "one modal driver per thread";
  activeDriver = this;
  hook_ = SetWindowsHookExA(WH_CBT, OnCbt, nullptr, GetCurrentThreadId());
  EXPECT_NE(hook_, nullptr);
}

ModalDriver::~ModalDriver() {
  if (hook_) UnhookWindowsHookEx(hook_);
  activeDriver = nullptr;
  EXPECT_TRUE(steps_.empty()) << steps_.size() << " queued step(s) found no window";
}

ModalDriver& ModalDriver::Then(Step step) {
  steps_.push_back(std::move(step));
  return *this;
}

ModalDriver& ModalDriver::Answer(int button, MessageBoxSeen* seen) {
  return Then([button, seen](HWND box) {
    const MessageBoxSeen read = ReadMessageBox(box);
    if (seen) *seen = read;
    EXPECT_NE(std::find(read.buttons.begin(), read.buttons.end(), button), read.buttons.end())
        << "the box \"" << read.text << "\" has no button " << button;
    SendMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
  });
}

LRESULT CALLBACK ModalDriver::OnCbt(int code, WPARAM wParam, LPARAM lParam) {
  ModalDriver* driver = activeDriver;
  const auto window = reinterpret_cast<HWND>(wParam);
  if (driver != nullptr && code == HCBT_ACTIVATE && IsDialogWindow(window) &&
      std::find(driver->known_.begin(), driver->known_.end(), window) == driver->known_.end()) {
    driver->known_.push_back(window);
    driver->arrived_.push_back(window);
    // A thread timer's procedure runs from whatever message loop the thread
    // is in, once its queue is empty: the new window's own modal loop.
    SetTimer(nullptr, 0, 0, OnReady);
  } else if (driver != nullptr && code == HCBT_DESTROYWND) {
    auto& known = driver->known_;
    known.erase(std::remove(known.begin(), known.end(), window), known.end());
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK ModalDriver::OnReady(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  if (activeDriver != nullptr) activeDriver->RunNext();
}

void ModalDriver::RunNext() {
  if (arrived_.empty()) return;
  const HWND window = arrived_.front();
  if (IsWindow(window) && !IsWindowVisible(window)) {
    // Activated before it was shown (a dialog whose initialisation raised a
    // message box): a dialog's loop shows it once its queue is first empty.
    SetTimer(nullptr, 0, 0, OnReady);
    return;
  }
  arrived_.pop_front();
  if (!IsWindow(window)) return;
  if (steps_.empty()) {
    std::string what = WindowText(window);
    if (GetDlgItem(window, 0xFFFF)) what.append(": ").append(ItemText(window, 0xFFFF));
    unexpected_.push_back(what);
    ADD_FAILURE() << "unexpected modal window " << what;
    SendMessageA(window, WM_COMMAND, IDCANCEL, 0);
    return;
  }
  Step step = std::move(steps_.front());
  steps_.pop_front();
  step(window);
}

void PressButton(HWND dialog, int id) {
  const HWND button = GetDlgItem(dialog, id);
  if (button == nullptr || !IsWindowEnabled(button)) {
    ADD_FAILURE() << "button " << id << (button ? " is disabled" : " is missing");
    return;
  }
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

std::string ItemText(HWND dialog, int id) {
  char text[4096] = "";
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

}  // namespace sombrevox::test
