#include "AboutTextDialog.h"

#include "ResourceIds.h"

namespace sombrevox {

constexpr char kProductText[] =
    "Sombrevox Light is the free, reduced edition of Sombrevox, the full reverberation processor by ORVELA "
    "Soft. It keeps the smooth, dense and natural sound of its big brother, from the close warmth of a small "
    "wooden room to the wide, glowing tail of a concert hall, and it is yours to use, free of charge, in every "
    "project.\r\n"
    "\r\n"
    "Sombrevox Light offers one simplified algorithm, taken from the eleven algorithms of the full edition, and "
    "no MIDI control. Its eight parameters, twenty-four factory presets and your own preset banks place voices "
    "and instruments in a convincing room.*\r\n"
    "\r\n"
    "* The full edition adds the other ten algorithms and MIDI control of every parameter.\r\n"
    "\r\n"
    "ORVELA Soft\r\n"
    "Web: www.orvela-soft.example\r\n"
    "E-mail: info@orvela-soft.example";

const std::string_view kAboutProductText(kProductText, sizeof kProductText - 1);

namespace {

INT_PTR CALLBACK AboutTextProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      SetDlgItemTextA(dialog, IDC_ABOUT_TEXT, kProductText);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL) return FALSE;
      EndDialog(dialog, LOWORD(wParam));
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

INT_PTR ShowAboutTextDialog(HINSTANCE module, HWND owner) {
  return DialogBoxParamA(module, MAKEINTRESOURCEA(IDD_ABOUT_TEXT), owner, AboutTextProc, 0);
}

}  // namespace sombrevox
