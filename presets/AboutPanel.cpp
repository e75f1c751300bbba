#include "AboutPanel.h"

#include <string_view>

#include "AboutTitle.h"
#include "BitmapHelpers.h"
#include "GdiObjects.h"
#include "ResourceIds.h"

namespace sombrevox {
namespace {

constexpr int kPanelSize = 220;  // the client area, and bitmap 108
constexpr COLORREF kTextColour = RGB(254, 250, 240);
constexpr COLORREF kNoticeColour = RGB(30, 30, 70);
constexpr RECT kNoticeRect{0, 210, 220, 220};

// One panel's state, for its life: the module with its artwork and strings,
// and whether the left button went down inside it.
struct AboutPanelState {
  HINSTANCE module;
  bool pressed;
};

AboutPanelState* StateOf(HWND panel) { return reinterpret_cast<AboutPanelState*>(GetWindowLongPtrA(panel, DWLP_USER)); }

std::string_view LoadText(HINSTANCE module, UINT id, char* buffer, int size) {
  const int length = LoadStringA(module, id, buffer, size);
  return std::string_view(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}

void DrawTitle(HDC dc, HINSTANCE module) {
  char title[12];  // at most 11 characters
  char key[6];     // five characters
  const std::string_view enciphered = LoadText(module, IDS_ABOUT_TITLE, title, sizeof title);
  DecipherAboutTitle(title, enciphered.size(), LoadText(module, IDS_ABOUT_KEY, key, sizeof key));
  const Font font = ArialFont(27, 11, FW_BOLD, false);
  const Selection selection(dc, font.Get());
  TextOutA(dc, 8, 0, title, static_cast<int>(enciphered.size()));
}

void DrawVersion(HDC dc, HINSTANCE module) {
  char version[32];
  const std::string_view text = LoadText(module, IDS_VERSION, version, sizeof version);
  const Font font = ArialFont(9, 6, FW_NORMAL, false);
  const Selection selection(dc, font.Get());
  TextOutA(dc, 8, 28, text.data(), static_cast<int>(text.size()));
}

void DrawNotice(HDC dc, HINSTANCE module) {
  char notice[64];  // at most 63 characters
  const std::string_view text = LoadText(module, IDS_NOTICE, notice, sizeof notice);
  const Font font = ArialFont(11, 5, FW_NORMAL, true);
  const Selection selection(dc, font.Get());
  SetTextColor(dc, kNoticeColour);
  RECT area = kNoticeRect;
  DrawTextA(dc, text.data(), static_cast<int>(text.size()), &area, DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
}

// The texts over the artwork; the context's colour, alignment and background
// mode are given back as they were. Each font goes before the next is made.
void DrawTexts(HDC dc, HINSTANCE module) {
  const COLORREF colour = SetTextColor(dc, kTextColour);
  const UINT align = SetTextAlign(dc, TA_LEFT | TA_TOP);
  const int mode = SetBkMode(dc, TRANSPARENT);
  DrawTitle(dc, module);
  DrawVersion(dc, module);
  DrawNotice(dc, module);
  SetBkMode(dc, mode);
  SetTextAlign(dc, align);
  SetTextColor(dc, colour);
}

void OnPaint(HWND panel, const AboutPanelState& state) {
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(panel, &paint);
  PaintResourceBitmap(panel, state.module, IDB_ABOUT_PANEL);
  DrawTexts(dc, state.module);
  EndPaint(panel, &paint);
}

// Centres a 220 x 220 client area on the screen. The focus stays unset.
BOOL OnInit(HWND panel, AboutPanelState* state) {
  SetWindowLongPtrA(panel, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
  state->pressed = false;
  const int centreX = GetSystemMetrics(SM_CXSCREEN) / 2;
  const int centreY = GetSystemMetrics(SM_CYSCREEN) / 2;
  RECT frame{centreX - kPanelSize / 2, centreY - kPanelSize / 2, centreX + kPanelSize / 2, centreY + kPanelSize / 2};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrA(panel, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrA(panel, GWL_EXSTYLE)));
  MoveWindow(panel, frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top, FALSE);
  return FALSE;
}

INT_PTR CALLBACK AboutPanelProc(HWND panel, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_INITDIALOG) return OnInit(panel, reinterpret_cast<AboutPanelState*>(lParam));
  AboutPanelState* state = StateOf(panel);
  if (state == nullptr) return FALSE;
  switch (message) {
    case WM_PAINT:
      OnPaint(panel, *state);
      return TRUE;
    case WM_LBUTTONDOWN:
      state->pressed = true;
      return TRUE;
    case WM_LBUTTONUP:
      // Only a release that follows a press inside closes the panel; a press
      // released elsewhere stays pending for the next release inside.
      if (state->pressed) {
        state->pressed = false;
        EndDialog(panel, IDOK);
      }
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

INT_PTR ShowAboutPanel(HINSTANCE module, HWND owner) {
  AboutPanelState state{module, false};
  return DialogBoxParamA(module, MAKEINTRESOURCEA(IDD_ABOUT_PANEL), owner, AboutPanelProc,
                         reinterpret_cast<LPARAM>(&state));
}

}  // namespace sombrevox
