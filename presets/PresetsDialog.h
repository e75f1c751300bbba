#pragma once
#include <windows.h>

#include "SombrevoxLight.h"

namespace sombrevox {

// The Presets dialog (template 136 of `module`), modal to `owner`: manages the
// bank file named in the link's settings and applies the preset chosen with
// Load to the link's filter when it closes with OK. Returns 1 (OK), 2
// (Cancel), or -1 when the dialog cannot be made or the link is incomplete.
INT_PTR ShowPresetsDialog(HINSTANCE module, HWND owner, EditorLink* link);

}  // namespace sombrevox
