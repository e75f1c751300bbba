#include "GuiTestSupport.h"

#include "WindowWaits.h"

namespace sombrevox::test {

void PumpMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    PumpMessages();
    if (done()) return true;
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return false;
    // Woken by any message, or after a short while for changes made by
    // another thread that send this one nothing.
    const DWORD slice = deadline - now < 20 ? static_cast<DWORD>(deadline - now) : 20;
    MsgWaitForMultipleObjectsEx(0, nullptr, slice, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
}

bool PumpUntilSignalled(HANDLE handle, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    PumpMessages();
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
    const DWORD woke =
        MsgWaitForMultipleObjectsEx(1, &handle, static_cast<DWORD>(deadline - now), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (woke == WAIT_OBJECT_0) return true;
    if (woke != WAIT_OBJECT_0 + 1) return false;
  }
}

bool PumpUntilThreadEnds(DWORD threadId, DWORD timeoutMs) {
  HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, threadId);
  if (!thread) return true;
  const bool ended = PumpUntilSignalled(thread, timeoutMs);
  CloseHandle(thread);
  return ended;
}

void PostMouse(HWND window, UINT message, POINT client) {
  POINT screen = client;
  ClientToScreen(window, &screen);
  SetCursorPos(screen.x, screen.y);
  PumpMessages();
  const WPARAM keys = message == WM_LBUTTONUP ? 0 : MK_LBUTTON;
  PostMessageA(window, message, keys, MAKELPARAM(client.x, client.y));
  PumpMessages();
}

void PressAt(HWND window, POINT client) { PostMouse(window, WM_LBUTTONDOWN, client); }
void MoveTo(HWND window, POINT client) { PostMouse(window, WM_MOUSEMOVE, client); }
void ReleaseAt(HWND window, POINT client) { PostMouse(window, WM_LBUTTONUP, client); }

int CountProcessWindows(const char* className) {
  int count = 0;
  for (HWND window : TopLevelWindows(className, false)) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    count += process == GetCurrentProcessId();
  }
  return count;
}

}  // namespace sombrevox::test
