#pragma once
// Drives the modal windows a test opens on its own thread (the product's
// dialogs, its message boxes, the platform's open-file dialog) without a
// second thread and without touching the product's code path: a CBT hook on
// the test thread notes each dialog window when it is first activated, and as
// soon as the window's modal loop waits for input the next queued step runs
// with it. Steps run on the test thread inside that modal loop; they drive the
// window with SendMessage, and may open further modal windows, whose own
// steps then run nested (a message box answered inside the click that
// raised it).
#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "WindowWaits.h"

namespace sombrevox::test {

// What a message box showed, read when it came up.
struct MessageBoxSeen {
  std::string caption;
  std::string text;          // Wine keeps it in static control 0xFFFF
  std::vector<int> buttons;  // ids of its visible push buttons, left to right
  int defaultButton = 0;     // the one drawn as default (0: none)
  bool icon = false;
  HWND owner = nullptr;
  bool shown = false;  // a message box came and was read
};

MessageBoxSeen ReadMessageBox(HWND box);

class ModalDriver {
 public:
  using Step = std::function<void(HWND window)>;

  // Installs the hook on the calling thread; one driver per thread at a time.
  ModalDriver();
  // Removes it. Steps still queued then fail the test: their windows never came.
  ~ModalDriver();
  ModalDriver(const ModalDriver&) = delete;
  ModalDriver& operator=(const ModalDriver&) = delete;

  // Queues a step for the next modal window that comes up.
  ModalDriver& Then(Step step);
  // Queues the answer to the next window, a message box: what it shows is
  // read into *seen, then `button` is pressed.
  ModalDriver& Answer(int button, MessageBoxSeen* seen = nullptr);

  // Windows that came with no step queued; each failed the test and was
  // closed with Cancel.
  const std::vector<std::string>& Unexpected() const { return unexpected_; }

 private:
  static LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam);
  static void CALLBACK OnReady(HWND, UINT, UINT_PTR timer, DWORD);
  void RunNext();

  HHOOK hook_ = nullptr;
  std::vector<HWND> known_;   // dialogs seen and not yet destroyed
  std::deque<HWND> arrived_;  // dialogs waiting for their step
  std::deque<Step> steps_;
  std::vector<std::string> unexpected_;
};

// Presses a dialog's push button as a click does (WM_COMMAND with
// BN_CLICKED, sent); a disabled or missing button fails the test and is not
// pressed.
void PressButton(HWND dialog, int id);

std::string ItemText(HWND dialog, int id);

}  // namespace sombrevox::test
