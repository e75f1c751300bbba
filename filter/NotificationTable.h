#pragma once
// The two windows a filter notifies when what its page shows has changed.
#include <windows.h>

#include <mutex>

namespace sombrevox {

class NotificationTable {
 public:
  // lock: the filter's settings lock, which guards the table.
  explicit NotificationTable(std::mutex& lock) : lock_(lock) {}

  // Registers `window` under `id`, updates its id, or with id 0 removes it.
  // E_OUTOFMEMORY when both slots hold other windows.
  HRESULT SetNotifyWindow(HWND window, DWORD id);

  // Posts WM_COMMAND (code in the high word, the window's id in the low word)
  // to every registered window, dropping windows that no longer exist.
  // Posted, never sent, and outside the lock: the slots are copied first.
  void Notify(WORD code);

 private:
  struct Slot {
    HWND window;
    DWORD id;
  };
  std::mutex& lock_;
  Slot slots_[2] = {};
};

}  // namespace sombrevox
