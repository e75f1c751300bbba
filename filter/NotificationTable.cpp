#include "NotificationTable.h"

namespace sombrevox {

HRESULT NotificationTable::SetNotifyWindow(HWND window, DWORD id) {
  std::lock_guard<std::mutex> guard(lock_);
  Slot* chosen = nullptr;
  Slot* empty = nullptr;
  for (Slot& slot : slots_) {
    if (slot.window == window) {
      chosen = &slot;
      break;
    }
    if (!slot.window) empty = &slot;  // the later empty slot wins
  }
  if (!chosen) chosen = empty;
  if (!chosen) return id ? E_OUTOFMEMORY : S_OK;
  chosen->id = id;
  chosen->window = id ? window : nullptr;
  return S_OK;
}

void NotificationTable::Notify(WORD code) {
  std::lock_guard<std::mutex> guard(lock_);
  for (Slot& slot : slots_) {
    if (!slot.window) continue;
    if (IsWindow(slot.window)) {
      PostMessageA(slot.window, WM_COMMAND, MAKEWPARAM(slot.id & 0xFFFF, code), 0);
    } else {
      slot = Slot{};
    }
  }
}

}  // namespace sombrevox
