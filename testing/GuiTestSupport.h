#pragma once
// Driving real windows from a test thread under Wine on Xvfb: pumping, waiting
// for things another thread does while still pumping (a window of ours may be
// the target of its SendMessage), and mouse input as the platform delivers it.
#include <windows.h>

#include <functional>

namespace sombrevox::test {

// Dispatches everything queued for this thread.
void PumpMessages();

// Pumps until `done` holds or `timeoutMs` has passed; wakes on every message
// for this thread. Use where no handle can be waited for.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);

// Pumps until `handle` is signalled; false on timeout.
bool PumpUntilSignalled(HANDLE handle, DWORD timeoutMs);

// Pumps until the thread that owns `window` has ended (true at once when the
// window is already gone with its thread).
bool PumpUntilThreadEnds(DWORD threadId, DWORD timeoutMs);

// Mouse input to `window` at a point of its client area: the real cursor is
// put on the same spot first (its own hardware move is dispatched before the
// posted message), so that the two never disagree under a capture.
void PostMouse(HWND window, UINT message, POINT client);
void PressAt(HWND window, POINT client);
void MoveTo(HWND window, POINT client);
void ReleaseAt(HWND window, POINT client);

// Top-level windows of this process of `className` (a dialog: "#32770").
int CountProcessWindows(const char* className);

}  // namespace sombrevox::test
