#include "EditorScreenshot.h"

#include <prsht.h>

#include <algorithm>
#include <vector>

#include "ControlMessages.h"
#include "GraphUtil.h"
#include "ResourceIds.h"
#include "WindowImage.h"

namespace sombrevox::host {
namespace {

constexpr char kWatcherClass[] = "SombrevoxHostWatcher";
constexpr UINT_PTR kTimer = 1;
constexpr UINT kTickMs = 50;
constexpr int kQuietTicks = 3;
constexpr DWORD kCloseTimeoutMs = 5000;
// The editor's size: the skin, as the page reports it in its page information.
constexpr SIZE kEditorSize = {430, 110};

BOOL CALLBACK AddWindow(HWND window, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

std::vector<HWND> ThreadWindows() {
  std::vector<HWND> windows;
  EnumThreadWindows(GetCurrentThreadId(), AddWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

bool IsDialog(HWND window) {
  char name[16] = "";
  GetClassNameA(window, name, sizeof name);
  return lstrcmpA(name, "#32770") == 0;
}

// The About text dialog a first opening shows over the editor, or null.
HWND FindAboutText() {
  for (HWND window : ThreadWindows())
    if (IsDialog(window) && GetDlgItem(window, IDC_ABOUT_TEXT)) return window;
  return nullptr;
}

BOOL CALLBACK FindDisplay(HWND child, LPARAM found) {
  char name[32] = "";
  GetClassNameA(child, name, sizeof name);
  if (lstrcmpA(name, kDisplayClass) != 0) return TRUE;
  *reinterpret_cast<HWND*>(found) = child;
  return FALSE;
}

// The page's dialog: the parent of the display control, in whatever frame.
HWND FindEditor() {
  for (HWND window : ThreadWindows()) {
    HWND display = nullptr;
    EnumChildWindows(window, FindDisplay, reinterpret_cast<LPARAM>(&display));
    if (display) return GetParent(display);
  }
  return nullptr;
}

// The property frame: the editor's top-level window, or else this thread's
// first dialog.
HWND FindFrame(HWND editor) {
  if (editor) return GetAncestor(editor, GA_ROOT);
  for (HWND window : ThreadWindows())
    if (IsDialog(window) && IsWindowVisible(window)) return window;
  return nullptr;
}

}  // namespace

EditorScreenshot::EditorScreenshot(std::string path, DWORD timeoutMs)
    : path_(graph::WindowsPath(path)), timeoutMs_(timeoutMs) {}

EditorScreenshot::~EditorScreenshot() {
  if (window_) DestroyWindow(window_);
}

bool EditorScreenshot::Start(std::string* error) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = kWatcherClass;
  RegisterClassA(&windowClass);
  window_ = CreateWindowExA(0, kWatcherClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, windowClass.hInstance, this);
  if (!window_ || !SetTimer(window_, kTimer, kTickMs, nullptr)) {
    *error = "cannot start watching the frame";
    return false;
  }
  deadline_ = GetTickCount64() + timeoutMs_;
  return true;
}

LRESULT CALLBACK EditorScreenshot::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<EditorScreenshot*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (message == WM_TIMER && wParam == kTimer && self) {
    self->OnTick();
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// One look at the frame every tick, inside whatever modal loop runs.
void EditorScreenshot::OnTick() {
  const ULONGLONG now = GetTickCount64();
  if (finished_) {
    // A frame that does not close with its buttons gets a close request.
    if (now > closeDeadline_) {
      if (HWND frame = FindFrame(FindEditor())) PostMessageA(frame, WM_CLOSE, 0, 0);
      closeDeadline_ = now + kCloseTimeoutMs;
    }
    return;
  }
  if (now > deadline_) {
    Finish(FindEditor(), "the editor was not ready within " + std::to_string(timeoutMs_ / 1000) + " s");
    return;
  }
  if (HWND about = FindAboutText()) {
    quietTicks_ = 0;
    if (IsWindowVisible(about))
      PostMessageA(about, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(about, IDOK)));
    return;
  }
  HWND editor = FindEditor();
  if (!editor || !IsWindowEnabled(GetDlgItem(editor, IDC_VALUE))) {
    quietTicks_ = 0;
    return;
  }
  // The About text dialog follows readiness: a few quiet ticks first.
  if (++quietTicks_ < kQuietTicks) return;
  Capture(editor);
  Finish(editor, written_ ? std::string() : error_);
}

void EditorScreenshot::Finish(HWND editor, const std::string& error) {
  finished_ = true;
  error_ = error;
  closeDeadline_ = GetTickCount64() + kCloseTimeoutMs;
  if (HWND frame = FindFrame(editor)) PostMessageA(frame, PSM_PRESSBUTTON, written_ ? PSBTN_OK : PSBTN_CANCEL, 0);
}

// Read through the editor's own device context: the screen can lag behind
// the window's surface.
void EditorScreenshot::Capture(HWND editor) {
  RedrawWindow(editor, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  const tools::Image whole = tools::CaptureClient(editor);
  if (whole.Empty()) {
    error_ = "cannot read the editor's pixels";
    return;
  }
  const int width = std::min<int>(whole.width, kEditorSize.cx);
  const int height = std::min<int>(whole.height, kEditorSize.cy);
  if (!whole.Crop(0, 0, width, height).SavePng(path_)) {
    error_ = "cannot write " + path_;
    return;
  }
  written_ = true;
  size_ = {width, height};
}

}  // namespace sombrevox::host
