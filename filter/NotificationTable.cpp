#include "NotificationTable.h"

#include <algorithm>
#include <iterator>

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
  Slot copies[2];
  {
    std::lock_guard<std::mutex> guard(lock_);
    std::copy(std::begin(slots_), std::end(slots_), copies);
  }
  for (size_t i = 0; i < std::size(copies); ++i) {
    const Slot& slot = copies[i];
    if (!slot.window) continue;
    if (IsWindow(slot.window)) {
      PostMessageA(slot.window, WM_COMMAND, MAKEWPARAM(slot.id & 0xFFFF, code), 0);
      continue;
    }
    // Gone: dropped, unless the slot was given to another window meanwhile.
    std::lock_guard<std::mutex> guard(lock_);
    if (slots_[i].window == slot.window) slots_[i] = Slot{};
  }
}

}  // namespace sombrevox
