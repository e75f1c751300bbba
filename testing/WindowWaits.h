#pragma once
// Waiting for windows, also those of other processes (a viewer the product
// starts): a bounded poll that keeps this thread's messages flowing, and the
// top-level windows of a class.
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace sombrevox::test {

// Checks `condition` until it holds or `limit` has passed, dispatching this
// thread's messages between checks (a window the test owns may be what the
// other side waits for). True when the condition held.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit = std::chrono::seconds(15));

// Top-level windows of any process whose class is `className`; with
// `visibleOnly`, only those shown.
std::vector<HWND> TopLevelWindows(const char* className, bool visibleOnly);

// Descendant windows of `parent` (any process) whose class name contains
// `classPart`.
std::vector<HWND> ChildWindows(HWND parent, const char* classPart);

// A window's text, asked with a bounded send so that a hung peer cannot hang
// the test; empty when it does not answer.
std::string WindowText(HWND window);

}  // namespace sombrevox::test
