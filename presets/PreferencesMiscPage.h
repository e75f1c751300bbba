#pragma once
#include <windows.h>

#include "PrefsHostState.h"

namespace sombrevox {

// The "Misc" page of the Preferences dialog (template 134): its check box
// edits the pending presentation choice of the host's filter. Made with
// CreateDialogIndirectParam and the host's state as creation parameter.
INT_PTR CALLBACK PreferencesMiscPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace sombrevox
