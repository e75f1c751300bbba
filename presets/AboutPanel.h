#pragma once
#include <windows.h>

namespace sombrevox {

// The About panel (template 102 of `module`), modal to `owner`: bitmap 108
// with the product title, the version and the notice line painted over it,
// centred on the screen with a 220 x 220 client area. A press and release of
// the left button inside it closes it. Returns 1, or -1 when it cannot be
// made.
INT_PTR ShowAboutPanel(HINSTANCE module, HWND owner);

}  // namespace sombrevox
