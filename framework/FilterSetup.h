#pragma once
// What the filter tells the platform's filter mapper about itself: its pins
// and the media types each pin handles. Plain records, laid out as the
// mapper's registration calls take them.
#include <windows.h>

namespace sombrevox {

struct PinTypeSetup {
  const GUID* majorType;
  const GUID* subtype;
};

struct PinSetup {
  const wchar_t* name;
  BOOL rendered;
  BOOL output;
  BOOL zero;
  BOOL many;
  const CLSID* connectsToFilter;
  const wchar_t* connectsToPin;
  UINT typeCount;
  const PinTypeSetup* types;
};

struct FilterSetup {
  const CLSID* clsid;
  const wchar_t* name;
  DWORD merit;
  UINT pinCount;
  const PinSetup* pins;
};

}  // namespace sombrevox
