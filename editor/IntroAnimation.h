#pragma once
// The display's introduction, one step per timer tick: the texts rise one
// pixel a tick from below the panel until they stand in place, hold for one
// longer tick, then fade in 50 frames from the ink colour towards the panel's
// green. 38 + 1 + 50 ticks on the 38-pixel panel.

namespace sombrevox {

struct Rgb {
  int red;
  int green;
  int blue;
};

// The display's ink: dark green on the pale green panel.
constexpr Rgb kDisplayInk = {55, 90, 55};

enum IntroPhase { kIntroScrolling = 1, kIntroHolding = 2, kIntroFading = 3 };

struct IntroState {
  int scrollTop;  // top of the texts while they rise
  int phase;      // IntroPhase
  int fadeStep;   // fade frame, 1..50
};

// Ready to start on a panel whose client area ends at `clientBottom`.
IntroState StartIntro(int clientBottom);

struct IntroFrame {
  int textTop;         // top of the text rectangle (its height is the panel's)
  Rgb colour;          // the texts' colour in this frame
  int nextIntervalMs;  // the timer's new interval, 0 to keep it
  bool finished;       // the last frame: stop the timer, the panel is ready
};

// Advances one tick on a panel from `clientTop` to `clientBottom` and says
// what to draw. After the last frame the state is ready to start again.
IntroFrame AdvanceIntro(IntroState& state, int clientTop, int clientBottom);

}  // namespace sombrevox
