#pragma once
#include <windows.h>

#include "SombrevoxLight.h"

namespace sombrevox {

// The Preferences dialog (template 135 of `module`), modal to `owner`: edits
// whether the link's filter plays its startup presentation. OK commits the
// choice to the link's settings (the registry is written when the page
// closes); Cancel leaves them. Returns 1 (OK), 2 (Cancel), or -1 when the
// dialog cannot be made or the link has no settings.
INT_PTR ShowPreferencesDialog(HINSTANCE module, HWND owner, EditorLink* link);

}  // namespace sombrevox
