#pragma once
// The editor's help: the help file beside the module ("OVSombrevoxLight.HLP",
// see HelpFilePath), its general topic for the page's Help menu item, and a
// control's own topic when the user presses F1 over it. Every request is
// made for the page window, so that closing the help for the page closes
// all it opened.
#include <windows.h>

namespace sombrevox {

// Context number of the help file's general topic (the product, the page,
// the menu).
constexpr DWORD kGeneralHelpTopic = 2;

// Control id → context number, as pairs ending with a zero pair: the level
// fader 3, the value knob 4, both select buttons 5, the display 6.
extern const DWORD kContextHelpTopics[];

// Answers the page's WM_HELP. `request` null (the page is being destroyed):
// closes the help windows. A request for a window whose control id is in
// `topics`: that control's topic. Any other request: the general topic.
// `module` is the module the help file sits beside. Returns what WinHelpA
// returns; a missing file is the viewer's to report.
BOOL ShowContextHelp(HWND page, const HELPINFO* request, const DWORD* topics, HMODULE module);

// The page's Help menu item: the general topic, owned by the page.
BOOL OpenHelp(HWND page, HMODULE module);

}  // namespace sombrevox
