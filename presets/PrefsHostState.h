#pragma once
#include <windows.h>

#include "SombrevoxLight.h"

namespace sombrevox {

// The Preferences dialog's own state, from its opening to its end. Its pages
// are handed this record as their creation parameter: each dialog edits the
// filter it was opened for, however many are open.
struct PrefsHostState {
  HINSTANCE module = nullptr;  // holds the page template
  EditorLink* link = nullptr;  // the filter whose settings are edited
  HWND tabControl = nullptr;   // control 1023
  HWND currentPage = nullptr;  // the page shown in the tab control
  RECT pageRect{};             // the tab control's display area, in dialog pixels
  // The template of the "Misc" page, the only tab's.
  const DLGTEMPLATE* pageTemplate = nullptr;
};

}  // namespace sombrevox
