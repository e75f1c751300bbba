#include "HelpViewer.h"

#include <vector>

#include "WindowWaits.h"

namespace sombrevox::test {

HWND Viewer() {
  const std::vector<HWND> shown = TopLevelWindows("MS_WINHELP", true);
  return shown.empty() ? nullptr : shown.front();
}

std::string ShownText() {
  const HWND viewer = Viewer();
  if (!viewer) return {};
  const std::vector<HWND> text = ChildWindows(viewer, "RichEdit");
  return text.empty() ? std::string() : WindowText(text.front());
}

bool Shows(const std::string& title) { return ShownText().starts_with(title + "\r"); }

bool ViewerEnded() { return TopLevelWindows("MS_WINHELP", false).empty(); }

void EndViewer() {
  for (const HWND window : TopLevelWindows("MS_WINHELP", false)) {
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    if (const HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id)) {
      TerminateProcess(process, 1);
      WaitForSingleObject(process, 5000);
      CloseHandle(process);
    }
  }
}

}  // namespace sombrevox::test
