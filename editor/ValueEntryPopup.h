#pragma once
// The value-entry popup: a one-line edit box over the top-left corner of the
// knob or the slider, opened by a double-click, that writes the typed value
// on Enter and closes without change on Escape or when it loses the focus.
// It runs on a thread of its own; at most one is open in the process.
//
// The popup never depends on the control, the page or the module staying
// alive: what it needs (the windows, the parameter index, a reference to the
// filter's settings and one to this module) is copied for it on the opening
// control's thread, and its thread ends by unloading that module reference.
#include <windows.h>

#include "SombrevoxLight.h"

namespace sombrevox {

// Opens the popup for parameter `index` over `control` (a knob or slider
// whose class's module holds dialog 137), on the control's thread. Nothing
// happens without settings or while a popup is open or opening anywhere in
// the process; false then.
bool OpenValueEntry(HWND control, IReverbSettings* settings, int index);

// Asks the open popup to close without applying anything, if it was opened
// from a control of `page` (any popup for null); also one still being
// created. Posts and returns: it never waits for the popup's thread, which
// may itself be waiting in a SendMessage to the caller's thread.
void CloseValueEntryPopup(HWND page);

// The open popup's window; null when none is open.
HWND ValueEntryWindow();

// True from a successful OpenValueEntry until the popup's thread has let go
// of everything it held (the filter's settings included).
bool IsValueEntryOpen();

}  // namespace sombrevox
