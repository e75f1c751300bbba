#include "DisplayControl.h"

#include "BitmapHelpers.h"
#include "ControlGeometry.h"
#include "ControlMessages.h"
#include "GdiObjects.h"
#include "IntroAnimation.h"
#include "OffscreenPicture.h"
#include "SombrevoxLight.h"
#include "WindowState.h"

namespace sombrevox {
namespace {

constexpr UINT_PTR kIntroTimer = 1;
constexpr UINT kFirstIntervalMs = 30;

struct DisplayState {
  WORD mode;
  Bitmap background;  // the skin under the display, captured when first shown
  IntroState intro;
  BOOL ntPlatform;  // the bottom strip's font is one pixel wider there
};

struct FontSpec {
  int height;
  int width;
  int weight;
};
constexpr FontSpec kSelectedFont = {14, 5, FW_BOLD};
constexpr FontSpec kColumnFont = {13, 4, FW_NORMAL};
constexpr FontSpec kIntroFont = {18, 8, FW_BOLD};

COLORREF ColourOf(Rgb rgb) { return RGB(rgb.red, rgb.green, rgb.blue); }

Font MakeFont(const FontSpec& spec) { return ArialFont(spec.height, spec.width, spec.weight); }

RECT RectOf(const Box& box) { return {box.left, box.top, box.right, box.bottom}; }

void DrawTexts(HDC dc, const FontSpec& spec, RECT box, const DisplayText* texts, int count) {
  Font font = MakeFont(spec);
  Selection selected(dc, font.Get());
  for (int i = 0; i < count; ++i) {
    RECT area = box;
    if (texts[i].text) DrawTextA(dc, texts[i].text, -1, &area, texts[i].format);
  }
}

void DrawParameterTexts(HDC dc, const RECT& client, BOOL ntPlatform, const DisplayText (&texts)[kDisplayTextCount]) {
  const DisplayLayout layout = ParameterLayout({client.left, client.top, client.right, client.bottom});
  DrawTexts(dc, {7, ntPlatform ? 6 : 5, FW_BOLD}, RectOf(layout.strip), &texts[8], 2);
  DrawTexts(dc, kSelectedFont, RectOf(layout.columns[0]), &texts[0], 2);
  for (int column = 1; column < 4; ++column)
    DrawTexts(dc, kColumnFont, RectOf(layout.columns[column]), &texts[2 * column], 2);
}

void DrawIntroTexts(HDC dc, const RECT& area, const DisplayText (&texts)[kDisplayTextCount]) {
  const DisplayText shown[] = {texts[1], texts[3]};
  DrawTexts(dc, kIntroFont, area, shown, 2);
}

void OnCreate(HWND window, DisplayState& state) {
  RECT client{};
  GetClientRect(window, &client);
  state.mode = 1;
  state.intro = StartIntro(client.bottom);
  state.ntPlatform = IsNtPlatform() == 1;
}

void OnShowWindow(HWND window, DisplayState& state) {
  if (!state.background) state.background.Reset(CaptureParentBackground(window, ControlModule(window)));
  if (state.mode == 1) {
    SetTimer(window, kIntroTimer, kFirstIntervalMs, nullptr);
  } else {
    PostMessageA(GetParent(window), WM_DISPLAY_READY, 0, 0);
  }
}

void OnTimer(HWND window, UINT_PTR id) {
  if (id != kIntroTimer) return;
  DisplayText texts[kDisplayTextCount] = {};
  texts[1] = {"Sombrevox Light", DT_SINGLELINE | DT_CENTER};
  texts[3] = {"ORVELA Soft", DT_SINGLELINE | DT_BOTTOM | DT_CENTER};
  DrawDisplay(window, kDisplayIntro, texts);
}

LRESULT OnDestroy(HWND window) {
  KillTimer(window, kIntroTimer);
  DestroyState<DisplayState>(window);
  return 0;
}

}  // namespace

int IsNtPlatform() {
  const DWORD version = GetVersion();
  if (!(version & 0x80000000)) return 1;
  return LOBYTE(LOWORD(version)) < 4 ? 2 : 0;
}

void DrawDisplay(HWND display, int mode, const DisplayText (&texts)[kDisplayTextCount]) {
  DisplayState* state = StateOf<DisplayState>(display);
  if (!state) return;
  RECT client{};
  GetClientRect(display, &client);
  RECT textArea = client;
  Rgb colour = kDisplayInk;
  if (mode == kDisplayIntro) {
    // The introduction goes on even where nothing can be drawn, so that the
    // page is told when it is over.
    const IntroFrame frame = AdvanceIntro(state->intro, client.top, client.bottom);
    OffsetRect(&textArea, 0, frame.textTop - client.top);
    colour = frame.colour;
    if (frame.finished) {
      KillTimer(display, kIntroTimer);
      state->mode = 0;
      PostMessageA(GetParent(display), WM_DISPLAY_READY, 0, 0);
    } else if (frame.nextIntervalMs) {
      SetTimer(display, kIntroTimer, frame.nextIntervalMs, nullptr);
    }
  }
  if (!state->background) return;
  OffscreenPicture picture(display, state->background.Get());
  HDC dc = picture.Dc();
  if (!dc) return;
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColourOf(colour));
  if (mode == kDisplayIntro) {
    DrawIntroTexts(dc, textArea, texts);
  } else {
    DrawParameterTexts(dc, client, state->ntPlatform, texts);
  }
  picture.Show();
}

void DrawLevelMeter(HWND window, int value, int left, int top, int segmentWidth, int height, int count) {
  WindowDc dc(window);
  if (!dc.Get()) return;
  const MeterLayout layout = LevelMeterLayout(value, height, count);
  const COLORREF unlitColour = RGB(136, 184, 31);
  Pen litPen(CreatePen(PS_SOLID, 1, ColourOf(kDisplayInk)));
  Brush litBrush(CreateSolidBrush(ColourOf(kDisplayInk)));
  Pen unlitPen(CreatePen(PS_SOLID, 1, unlitColour));
  Brush unlitBrush(CreateSolidBrush(unlitColour));
  for (int k = 1; k <= count; ++k) {
    const bool lit = k <= layout.lit;
    Selection pen(dc.Get(), (lit ? litPen : unlitPen).Get());
    Selection brush(dc.Get(), (lit ? litBrush : unlitBrush).Get());
    const Box segment = MeterSegment(layout, left, top, segmentWidth, height, k);
    Rectangle(dc.Get(), segment.left, segment.top, segment.right, segment.bottom);
  }
}

LRESULT CALLBACK DisplayWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DisplayState* state = StateOf<DisplayState>(window);
  switch (message) {
    case WM_CREATE: {
      const LRESULT created = CreateState<DisplayState>(window);
      if (created == 0) OnCreate(window, *StateOf<DisplayState>(window));
      return created;
    }
    case WM_DESTROY:
      return OnDestroy(window);
    case WM_PAINT: {
      PAINTSTRUCT paint;
      BeginPaint(window, &paint);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_SHOWWINDOW:
      if (state) OnShowWindow(window, *state);
      return 0;
    case WM_TIMER:
      OnTimer(window, wParam);
      return 0;
    case DISPLAY_SETMODE:
      if (state) state->mode = LOWORD(wParam);
      return 0;
    case DISPLAY_GETMODE:
      return state ? state->mode : 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace sombrevox
