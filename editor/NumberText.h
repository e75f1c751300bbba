#pragma once
// The editor's two number forms: whole numbers and exactly two decimals.
// Plain character buffers: the texts go straight to DrawText and edit boxes.

namespace sombrevox {

// Room for the sign, eighteen digits, the point and two decimals.
struct NumberText {
  char chars[32];
  const char* c_str() const { return chars; }
};

// The value plus 0.5, truncated toward zero (33.4 -> "33", 33.5 -> "34").
NumberText FormatInteger(double value);

// Exactly two decimals, truncated (not rounded) at the second after the value
// is rounded to seven: 0.999 -> "0.99", 2.5 -> "2.50", -0.001 -> "-0.00".
NumberText FormatFixed2(double value);

}  // namespace sombrevox
