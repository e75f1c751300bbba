// The page's own drawing: the skin with the controls over it, and the two
// owner-drawn select buttons.
#include "BitmapHelpers.h"
#include "ControlMessages.h"
#include "DisplayControl.h"
#include "KnobControl.h"
#include "Module.h"
#include "ResourceIds.h"
#include "ReverbPropertyPage.h"
#include "SliderControl.h"

namespace sombrevox {

void ReverbPropertyPage::OnPaint() {
  PAINTSTRUCT paint;
  BeginPaint(window_, &paint);
  PaintResourceBitmap(window_, ModuleInstance, IDB_SKIN);
  if (PageReady()) {
    OnShowParameters();
  } else {
    // The blank panel until the display is ready.
    DisplayText blank[kDisplayTextCount];
    for (DisplayText& text : blank) text = {"", 0};
    DrawDisplay(Control(IDC_DISPLAY), kDisplayParameters, blank);
  }
  DrawSlider(Control(IDC_LEVEL));
  DrawKnob(Control(IDC_VALUE));
  InvalidateRect(Control(IDC_SELECT_LEFT), nullptr, FALSE);
  InvalidateRect(Control(IDC_SELECT_RIGHT), nullptr, FALSE);
  EndPaint(window_, &paint);
}

// The lit arrow while the button is held down, the dim one otherwise.
void ReverbPropertyPage::DrawSelectButton(const DRAWITEMSTRUCT& item) {
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  HBITMAP bitmap = nullptr;
  if (item.CtlID == IDC_SELECT_LEFT) bitmap = (pressed ? leftPressed_ : leftNormal_).Get();
  if (item.CtlID == IDC_SELECT_RIGHT) bitmap = (pressed ? rightPressed_ : rightNormal_).Get();
  if (!bitmap) return;
  MemoryDc memory(item.hDC);
  Selection picture(memory.Get(), bitmap);
  BitBlt(item.hDC, item.rcItem.left, item.rcItem.top, item.rcItem.right - item.rcItem.left,
         item.rcItem.bottom - item.rcItem.top, memory.Get(), 0, 0, SRCCOPY);
}

}  // namespace sombrevox
