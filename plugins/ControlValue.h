#pragma once

namespace sombrevox::plugins {

// The parameter value a host's single-precision control stands for: the
// shortest decimal that reads back as the same float, taken as a double. A
// host that shows 0.54 sends the float nearest to it; the reverb then runs on
// the double 0.54, as the renderer, the presets and the filter do, not on
// 0.540000021... Non-finite values pass unchanged (the clamp mends them).
// Allocates nothing and takes no lock.
double ControlToParam(float value);

}  // namespace sombrevox::plugins
