#pragma once
// Counts the GDI objects and device contexts this program makes and frees,
// for leak checks (Wine's GetGuiResources answers 0). While a counter lives,
// one module's imports of the GDI functions that make, select and free
// objects go through counting wrappers: the program's own by default (code
// linked into it, such as the controls under test), or a loaded module's
// (the built module itself). The system's own drawing is not counted.
#include <windows.h>

namespace sombrevox::test {

class GdiObjectCounter {
 public:
  // `module`: whose imports are counted; null for the program itself. It
  // must stay loaded while the counter lives.
  explicit GdiObjectCounter(HMODULE module = nullptr);
  ~GdiObjectCounter();
  GdiObjectCounter(const GdiObjectCounter&) = delete;
  GdiObjectCounter& operator=(const GdiObjectCounter&) = delete;

  // False when the imports could not be redirected (nothing is counted then).
  bool Installed() const { return installed_; }
  // Pens, brushes, fonts, bitmaps and palettes made and not yet deleted.
  int LiveObjects() const;
  // Memory contexts not yet deleted and window contexts not yet released.
  int LiveContexts() const;
  // Objects deleted while still selected into a live context (the platform
  // then keeps them until the context goes: a deferred leak).
  int DeletedWhileSelected() const;

 private:
  HMODULE module_;
  bool installed_ = false;
};

}  // namespace sombrevox::test
