#pragma once
#include <windows.h>

#include <string_view>

namespace sombrevox {

// The product text of the About text dialog: two paragraphs, a footnote and
// the maker's contact lines, lines separated by CR LF.
extern const std::string_view kAboutProductText;

// The About text dialog (template 103 of `module`), modal to `owner`, shown
// once per filter on the editor's first opening. OK or Cancel ends it with
// its id; -1 when it cannot be made.
INT_PTR ShowAboutTextDialog(HINSTANCE module, HWND owner);

}  // namespace sombrevox
