#pragma once
// sombrevox-host's unattended run: from inside the property frame's modal
// loop (a timer of a message-only window of this thread) it answers the About
// text dialog of a first opening, waits for the editor's display to be ready
// (after the startup presentation), captures the editor through its own
// device context into a PNG file and closes the frame with OK. Past the time
// limit it closes the frame with Cancel and reports the failure.
#include <windows.h>

#include <string>

namespace sombrevox::host {

class EditorScreenshot {
 public:
  EditorScreenshot(std::string path, DWORD timeoutMs);
  ~EditorScreenshot();
  EditorScreenshot(const EditorScreenshot&) = delete;
  EditorScreenshot& operator=(const EditorScreenshot&) = delete;

  // Starts watching; call before the frame is opened on this thread.
  bool Start(std::string* error);
  // After the frame has closed: whether the file was written, and else why not.
  bool Written() const { return written_; }
  const std::string& Error() const { return error_; }
  SIZE Size() const { return size_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void OnTick();
  void Finish(HWND editor, const std::string& error);
  void Capture(HWND editor);

  std::string path_;
  DWORD timeoutMs_;
  HWND window_ = nullptr;  // message-only, carries the timer
  ULONGLONG deadline_ = 0;
  ULONGLONG closeDeadline_ = 0;  // set once finished: the frame must be gone by then
  int quietTicks_ = 0;           // ticks with the editor ready and no dialog over it
  bool finished_ = false;
  bool written_ = false;
  std::string error_;
  SIZE size_{};
};

}  // namespace sombrevox::host
