#pragma once
// Counts the GDI objects and device contexts this program makes and frees,
// for leak checks (Wine's GetGuiResources answers 0). While a counter lives,
// the program's own imports of the GDI functions that make, select and free
// objects go through counting wrappers; code linked into the program (the
// controls under test) is counted, the system's own drawing is not.
#include <windows.h>

namespace sombrevox::test {

class GdiObjectCounter {
 public:
  GdiObjectCounter();
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
  bool installed_ = false;
};

}  // namespace sombrevox::test
