#pragma once
// A control's state record lives in window word 0 (pointer-sized), made at
// WM_CREATE and freed at WM_DESTROY; between those the word is null, and
// every handler tolerates that.
#include <windows.h>

#include <new>

namespace sombrevox {

constexpr int kStateWindowBytes = sizeof(LONG_PTR);

template <typename State>
State* StateOf(HWND window) {
  return reinterpret_cast<State*>(GetWindowLongPtrA(window, 0));
}

// WM_CREATE: -1 (creation fails) when the record cannot be allocated.
template <typename State>
LRESULT CreateState(HWND window) {
  State* state = new (std::nothrow) State{};
  if (!state) return -1;
  SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(state));
  return 0;
}

// WM_DESTROY: the record goes with its owned GDI objects.
template <typename State>
void DestroyState(HWND window) {
  delete StateOf<State>(window);
  SetWindowLongPtrA(window, 0, 0);
}

// The module whose resources a control draws with: the one that registered its class.
inline HINSTANCE ControlModule(HWND window) {
  return reinterpret_cast<HINSTANCE>(GetClassLongPtrA(window, GCLP_HMODULE));
}

}  // namespace sombrevox
