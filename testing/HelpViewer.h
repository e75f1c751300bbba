#pragma once
// The platform's help viewer as tests see it: another process, whose shown
// main window and topic text can be read, whose end can be waited for, and
// which a failed test ends by force.
#include <windows.h>

#include <string>

namespace sombrevox::test {

// The viewer's shown main window, or null.
HWND Viewer();
// The text of the topic the viewer shows; a topic starts with its title.
std::string ShownText();
bool Shows(const std::string& title);
bool ViewerEnded();
// Ends the viewer by force, for a test that failed with it still running, so
// that it neither outlives the program nor spoils the next test.
void EndViewer();

}  // namespace sombrevox::test
