#include "ControlValue.h"

#include <charconv>
#include <cmath>

namespace sombrevox::plugins {

double ControlToParam(float value) {
  if (!std::isfinite(value)) return static_cast<double>(value);
  char text[48];
  const std::to_chars_result written = std::to_chars(text, text + sizeof text, value);
  double result = static_cast<double>(value);
  if (written.ec == std::errc()) std::from_chars(text, written.ptr, result);
  return result;
}

}  // namespace sombrevox::plugins
