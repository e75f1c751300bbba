#include "IntroAnimation.h"

namespace sombrevox {
namespace {

constexpr int kFadeFrames = 50;
constexpr int kHoldMs = 200;
constexpr int kFadeMs = 10;

}  // namespace

IntroState StartIntro(int clientBottom) { return {clientBottom, kIntroScrolling, 1}; }

IntroFrame AdvanceIntro(IntroState& state, int clientTop, int clientBottom) {
  IntroFrame frame{clientTop, kDisplayInk, 0, false};
  switch (state.phase) {
    case kIntroScrolling:
      frame.textTop = --state.scrollTop;
      if (state.scrollTop <= clientTop) {
        state.phase = kIntroHolding;
        frame.nextIntervalMs = kHoldMs;
      }
      break;
    case kIntroHolding:
      state.phase = kIntroFading;
      frame.nextIntervalMs = kFadeMs;
      break;
    default: {
      // x from 0 to 1 over the frames: ink (55, 90, 55) to (149, 204, 34).
      const double x = (state.fadeStep - 1) * (1.0 / (kFadeFrames - 1));
      frame.colour = {static_cast<int>(x * 94 + 55), static_cast<int>(x * 114 + 90), static_cast<int>(x * -21 + 55)};
      if (++state.fadeStep > kFadeFrames) {
        state = StartIntro(clientBottom);
        frame.finished = true;
      }
      break;
    }
  }
  return frame;
}

}  // namespace sombrevox
